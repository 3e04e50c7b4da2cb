-- wrk: every request asks for one of the three top lists, in turn.
local lists = {"/v1/top?difficulty=easy", "/v1/top?difficulty=normal", "/v1/top?difficulty=hard"}
local n = 0
request = function()
  n = n + 1
  return wrk.format("GET", lists[n % 3 + 1])
end
