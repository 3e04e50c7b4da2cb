// Web requests in the background: the score board's posts and lists. A request is handed over
// and its answer picked up later, so a slow or absent network never holds up an update. One
// backend per build: a worker thread with cpp-httplib on the desktop (web_client_desktop.cpp),
// the page's fetch in the browser (web_client_browser.cpp).
#pragma once

#include <memory>
#include <string>
#include <vector>

struct WebRequest {
    std::string method = "GET";  // GET, HEAD or POST
    std::string path;            // from the base address on, with its query: "v1/top?limit=10"
    std::vector<unsigned char> body;
    std::string contentType = "application/octet-stream";
    std::string wantHeader;  // an answer header to hand back in WebAnswer::header
};

struct WebAnswer {
    int status = 0;      // the HTTP status; 0 when no answer came (error says why)
    std::string body;    // the answer's body, at most kLargestAnswer bytes
    std::string error;   // one line, when status is 0
    int retryAfter = 0;  // seconds, when the answer asked the client to wait
    std::string header;  // the value of the request's wantHeader; "" when absent
};

class WebClient {
public:
    static constexpr size_t kLargestAnswer = 1 << 20;
    virtual ~WebClient() = default;
    // Starts a request and returns its ticket (never 0). Never blocks.
    virtual int Send(const WebRequest& request) = 0;
    // The answer of a ticket once it has come, given once; false while it is on its way.
    virtual bool Take(int ticket, WebAnswer* answer) = 0;
};

// A client for the service at `base` ("http://127.0.0.1:8787", or "" in the browser for the
// page's own server). Null with the reason when the address cannot be used.
std::unique_ptr<WebClient> NewWebClient(const std::string& base, std::string* why);
