-- wrk: every request posts a replay no one posted before, and the answers are counted by
-- status (201 stored, 503 queue full, ...), summed over the threads at the end.
local threads = {}
local counter = 1
setup = function(thread)
  thread:set("id", counter)
  counter = counter + 1
  table.insert(threads, thread)
end
init = function(args)
  n = 0
  statuses = {}
  tag = os.time() .. "-" .. id
end
request = function()
  n = n + 1
  return wrk.format("POST", "/v1/games", {["Content-Type"] = "application/octet-stream"},
    "BENCH " .. tag .. " " .. n .. "\n" .. string.rep("update\n", 200))
end
response = function(status, headers, body)
  statuses[status] = (statuses[status] or 0) + 1
end
done = function(summary, latency, requests)
  local total = {}
  for _, t in ipairs(threads) do
    for status, count in pairs(t:get("statuses")) do
      total[status] = (total[status] or 0) + count
    end
  end
  local line = "statuses:"
  for status, count in pairs(total) do line = line .. " " .. status .. "=" .. count end
  print(line)
end
