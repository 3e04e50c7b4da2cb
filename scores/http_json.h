#pragma once
// The service's answers: every one JSON, every error {"error": message}.
#include <httplib.h>

#include <nlohmann/json.hpp>
#include <string>

namespace scores {

void SendJson(httplib::Response& res, int status, const nlohmann::json& body);
void SendError(httplib::Response& res, int status, const std::string& message);
// For a request the service refuses before reading its body: the rest of the body would
// otherwise be taken for the next request on the connection.
void SendErrorAndClose(httplib::Response& res, int status, const std::string& message);
// What a bare status means, for the errors httplib answers by itself.
std::string StatusMessage(int status);
std::string IsoDate(long long seconds);
// A player's name: 3 to 12 of letters, digits, space, '-', '_' and '.', not starting or ending
// with a space.
bool IsPlayerName(const std::string& name);

}  // namespace scores
