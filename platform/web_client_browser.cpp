// The browser's web requests: the page's fetch, relative to the page's own address, so the
// page a score board serves talks to that board. Answers wait in the page until taken.
#include <emscripten.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "platform/web_client.h"

// clang-format off
EM_JS(int, vexmo_fetch_start, (const char* method, const char* url, const void* body, int size,
                               const char* type, const char* want), {
    var box = Module.vexmoFetches || (Module.vexmoFetches = { last: 0, done: {} });
    var ticket = ++box.last;
    var options = { method: UTF8ToString(method), cache: "no-store" };
    if (options.method === "POST") {
        options.body = HEAPU8.slice(body, body + size);
        options.headers = { "Content-Type": UTF8ToString(type) };
    }
    var controller = typeof AbortController !== "undefined" ? new AbortController() : null;
    if (controller) {
        options.signal = controller.signal;
        setTimeout(function () { controller.abort(); }, 20000);
    }
    var wanted = UTF8ToString(want);
    var finish = function (status, text, error, retry, header) {
        box.done[ticket] = { status: status, text: text, error: error, retry: retry,
                             header: header };
    };
    fetch(UTF8ToString(url), options).then(function (answer) {
        var retry = parseInt(answer.headers.get("Retry-After") || "0", 10) || 0;
        var header = (wanted && answer.headers.get(wanted)) || "";
        return answer.text().then(function (text) {
            finish(answer.status, text, "", retry, header);
        });
    }).catch(function (e) {
        finish(0, "", String((e && e.message) || e || "the request failed"), 0, "");
    });
    return ticket;
});

// Returns a malloc'd "status\nretry\nheader\nerror\nbody" once the ticket's answer is in, else 0.
EM_JS(char*, vexmo_fetch_take, (int ticket), {
    var box = Module.vexmoFetches;
    var got = box && box.done[ticket];
    if (!got) return 0;
    delete box.done[ticket];
    var oneLine = function (t) { return t.split(String.fromCharCode(10)).join(" "); };
    var text = got.status + "\n" + got.retry + "\n" + oneLine(got.header) + "\n" + got.error.split(String.fromCharCode(10)).join(" ") + "\n" + got.text;
    var size = lengthBytesUTF8(text) + 1;
    var out = _malloc(size);
    stringToUTF8(text, out, size);
    return out;
});
// clang-format on

namespace {

std::string NextLine(const char** cursor) {
    const char* end = std::strchr(*cursor, '\n');
    if (end == nullptr) end = *cursor + std::strlen(*cursor);
    std::string line(*cursor, end);
    *cursor = *end ? end + 1 : end;
    return line;
}

class BrowserWebClient : public WebClient {
public:
    explicit BrowserWebClient(std::string base) : base_(std::move(base)) {}

    int Send(const WebRequest& request) override {
        const std::string url = base_ + request.path;
        return vexmo_fetch_start(request.method.c_str(), url.c_str(), request.body.data(),
                                 static_cast<int>(request.body.size()), request.contentType.c_str(),
                                 request.wantHeader.c_str());
    }

    bool Take(int ticket, WebAnswer* answer) override {
        char* text = vexmo_fetch_take(ticket);
        if (text == nullptr) return false;
        const char* cursor = text;
        answer->status = std::atoi(NextLine(&cursor).c_str());
        answer->retryAfter = std::atoi(NextLine(&cursor).c_str());
        answer->header = NextLine(&cursor);
        answer->error = NextLine(&cursor);
        answer->body.assign(cursor, std::min(std::strlen(cursor), kLargestAnswer));
        std::free(text);
        return true;
    }

private:
    std::string base_;
};

}  // namespace

std::unique_ptr<WebClient> NewWebClient(const std::string& base, std::string* why) {
    std::string prefix = base;
    if (!prefix.empty() && prefix.back() != '/') prefix += '/';
    return std::make_unique<BrowserWebClient>(prefix);
}
