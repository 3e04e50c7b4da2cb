#include "scores/http_json.h"

#include <ctime>

#include "scores/http_server.h"

namespace scores {

void SendJson(httplib::Response& res, int status, const nlohmann::json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json");
}

void SendError(httplib::Response& res, int status, const std::string& message) {
    SendJson(res, status, {{"error", message}});
}

void SendErrorAndClose(httplib::Response& res, int status, const std::string& message) {
    SendError(res, status, message);
    res.set_header("Connection", "close");
    HttpServer::CloseAfterResponse();
}

std::string StatusMessage(int status) {
    switch (status) {
        case 400:
            return "malformed request";
        case 404:
            return "no such path";
        case 405:
            return "method not allowed here";
        case 408:
            return "the request arrived too slowly";
        case 413:
            return "the request body is too large";
        case 414:
            return "the request line is too long";
        case 500:
            return "internal error";
        default:
            return "request failed (" + std::to_string(status) + ")";
    }
}

std::string IsoDate(long long seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

bool IsPlayerName(const std::string& name) {
    if (name.size() < 3 || name.size() > 12) return false;
    if (name.front() == ' ' || name.back() == ' ') return false;
    for (char c : name) {
        bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == ' ' || c == '-' || c == '_' || c == '.';
        if (!ok) return false;
    }
    return true;
}

}  // namespace scores
