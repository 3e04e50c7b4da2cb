// The desktop's web requests: one worker thread takes the requests in order, each on a fresh
// connection with short time limits, and files the answers for the game to pick up.
#include <httplib.h>

#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/web_client.h"

namespace {

constexpr int kConnectSeconds = 3;
// A verification of a long game takes a few seconds on a busy service.
constexpr int kReadSeconds = 20;

// "http://host[:port][/prefix]": the host part for httplib and the prefix every path goes under.
bool SplitBase(const std::string& base, std::string* host, std::string* prefix, std::string* why) {
    const std::string scheme = "http://";
    if (base.rfind(scheme, 0) != 0) {
        *why = "the score board's address must start with http:// (" + base + ")";
        return false;
    }
    const size_t slash = base.find('/', scheme.size());
    *host = base.substr(0, slash);
    if (host->size() <= scheme.size()) {
        *why = "the score board's address names no host (" + base + ")";
        return false;
    }
    *prefix = slash == std::string::npos ? "/" : base.substr(slash);
    if (prefix->back() != '/') *prefix += '/';
    return true;
}

// What the game and the worker share. The worker holds it too, so a client dropped while a
// request is on its way (the game quitting) lets the worker finish on its own instead of
// holding up the exit for the time limit.
struct Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<int, WebRequest>> waiting;
    std::map<int, WebAnswer> answers;
    int lastTicket = 0;
    bool stopping = false;
};

WebAnswer Ask(const std::string& host, const std::string& prefix, const WebRequest& request) {
    httplib::Client client(host);
    client.set_connection_timeout(kConnectSeconds, 0);
    client.set_read_timeout(kReadSeconds, 0);
    client.set_write_timeout(kReadSeconds, 0);
    const std::string path = prefix + request.path;
    httplib::Result result =
        request.method == "POST"
            ? client.Post(path.c_str(), reinterpret_cast<const char*>(request.body.data()),
                          request.body.size(), request.contentType.c_str())
        : request.method == "HEAD" ? client.Head(path.c_str())
                                   : client.Get(path.c_str());
    WebAnswer answer;
    if (!result) {
        answer.error = httplib::to_string(result.error());
        return answer;
    }
    answer.status = result->status;
    answer.body = result->body.substr(0, WebClient::kLargestAnswer);
    if (!request.wantHeader.empty() && result->has_header(request.wantHeader.c_str()))
        answer.header = result->get_header_value(request.wantHeader.c_str());
    if (result->has_header("Retry-After"))
        answer.retryAfter = std::atoi(result->get_header_value("Retry-After").c_str());
    return answer;
}

void Work(const std::shared_ptr<Shared>& shared, const std::string& host,
          const std::string& prefix) {
    Shared& s = *shared;
    std::unique_lock<std::mutex> lock(s.mutex);
    for (;;) {
        s.wake.wait(lock, [&s] { return s.stopping || !s.waiting.empty(); });
        if (s.stopping) return;
        std::pair<int, WebRequest> job = std::move(s.waiting.front());
        s.waiting.pop_front();
        lock.unlock();
        WebAnswer answer = Ask(host, prefix, job.second);
        lock.lock();
        s.answers[job.first] = std::move(answer);
    }
}

class DesktopWebClient : public WebClient {
public:
    DesktopWebClient(const std::string& host, const std::string& prefix)
        : shared_(std::make_shared<Shared>()) {
        std::thread(Work, shared_, host, prefix).detach();
    }

    ~DesktopWebClient() override {
        {
            std::lock_guard<std::mutex> lock(shared_->mutex);
            shared_->stopping = true;
        }
        shared_->wake.notify_all();
    }

    int Send(const WebRequest& request) override {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        const int ticket = ++shared_->lastTicket;
        shared_->waiting.emplace_back(ticket, request);
        shared_->wake.notify_all();
        return ticket;
    }

    bool Take(int ticket, WebAnswer* answer) override {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        const auto found = shared_->answers.find(ticket);
        if (found == shared_->answers.end()) return false;
        *answer = std::move(found->second);
        shared_->answers.erase(found);
        return true;
    }

private:
    std::shared_ptr<Shared> shared_;
};

}  // namespace

std::unique_ptr<WebClient> NewWebClient(const std::string& base, std::string* why) {
    std::string host;
    std::string prefix;
    if (!SplitBase(base, &host, &prefix, why)) return nullptr;
    return std::make_unique<DesktopWebClient>(host, prefix);
}
