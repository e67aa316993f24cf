#include "platform/HttpClient.h"

#include "platform/BackgroundQueue.h"
#include "platform/LenientJson.h"
#include "platform/MainQueue.h"

#include <curl/curl.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace tarnwick::http {
namespace {

void initialiseCurlOnce() {
    static const bool done = [] {
        curl_global_init(CURL_GLOBAL_DEFAULT);
        return true;
    }();
    (void)done;
}

struct Transfer {
    Response response;
    bool tooLarge = false;
};

// Counts the bytes as kept, after curl has undone any Content-Encoding.
size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (transfer->response.body.size() + n > maxBodySize) {
        transfer->tooLarge = true;
        return 0;  // aborts the transfer
    }
    transfer->response.body.append(data, n);
    return n;
}

// The headers of the last response (after redirects and 1xx answers), trailers included.
std::map<std::string, std::string> lastResponseHeaders(CURL* c) {
    std::map<std::string, std::string> headers;
    for (curl_header* h = nullptr; (h = curl_easy_nextheader(c, CURLH_HEADER | CURLH_TRAILER, -1, h));) {
        std::string name = h->name;
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        headers[std::move(name)] = h->value;
    }
    return headers;
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct MultiDeleter {
    void operator()(CURLM* m) const { curl_multi_cleanup(m); }
};

// How often a waiting transfer looks at its stop flags.
constexpr int stopPollMilliseconds = 25;

// The process-wide stop, and the transfers running now.
struct Transfers {
    std::mutex mutex;
    std::condition_variable idle;
    int running = 0;
    std::atomic<bool> stopped{false};
};

Transfers& transfers() {
    static auto* instance = new Transfers;  // never destroyed: transfers may outlive main
    return *instance;
}

// Counts a transfer as running for its life; refused once the process-wide stop was given.
class RunningTransfer {
public:
    RunningTransfer() {
        std::lock_guard guard(transfers().mutex);
        admitted_ = !transfers().stopped;
        if (admitted_) ++transfers().running;
    }
    ~RunningTransfer() {
        if (!admitted_) return;
        std::lock_guard guard(transfers().mutex);
        if (--transfers().running == 0) transfers().idle.notify_all();
    }
    RunningTransfer(const RunningTransfer&) = delete;
    RunningTransfer& operator=(const RunningTransfer&) = delete;
    bool admitted() const { return admitted_; }

private:
    bool admitted_ = false;
};

bool stopRequested(const Options& options) {
    return transfers().stopped || (options.stop && options.stop->load());
}

// Runs the transfer, looking at the stop flags while it waits. Answers curl's outcome.
CURLcode perform(CURL* c, const Options& options) {
    std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
    if (!multi || curl_multi_add_handle(multi.get(), c) != CURLM_OK) return CURLE_FAILED_INIT;
    CURLcode outcome = CURLE_ABORTED_BY_CALLBACK;
    for (int running = 1; running > 0;) {
        if (stopRequested(options)) break;
        if (curl_multi_perform(multi.get(), &running) != CURLM_OK) {
            outcome = CURLE_FAILED_INIT;
            break;
        }
        if (running > 0 && curl_multi_poll(multi.get(), nullptr, 0, stopPollMilliseconds, nullptr) != CURLM_OK) {
            outcome = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
            if (message->msg == CURLMSG_DONE && message->easy_handle == c) outcome = message->data.result;
    }
    curl_multi_remove_handle(multi.get(), c);
    return outcome;
}
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

template <class T>
void deliver(std::function<void(Result<T>)> completion, Result<T> result) {
    MainQueue::async([completion = std::move(completion), result = std::move(result)]() mutable {
        completion(std::move(result));
    });
}

// A gzip file, whatever the headers say: a Content-Encoding was already undone by curl.
bool isGzip(const std::string& b) {
    return b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0x1f && static_cast<unsigned char>(b[1]) == 0x8b;
}

// Only a 2xx answer carries what was asked for.
bool succeeded(const std::optional<Response>& response) {
    return response && response->status >= 200 && response->status < 300;
}

}  // namespace

void stopTransfers(std::chrono::milliseconds bound) {
    Transfers& all = transfers();
    std::unique_lock lock(all.mutex);
    all.stopped = true;
    all.idle.wait_for(lock, bound, [&all] { return all.running == 0; });
}

std::optional<Response> fetch(const std::string& url, const Options& options) {
    const RunningTransfer running;
    if (!running.admitted() || stopRequested(options)) return std::nullopt;
    initialiseCurlOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) return std::nullopt;
    Transfer transfer;
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, connectTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, idleTimeoutSeconds);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBodySize));  // an announced length
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Tarnwick/0.1");
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");  // every encoding curl can undo
    std::unique_ptr<curl_slist, SlistDeleter> headers;
    if (options.noCache) {
        curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
        list = curl_slist_append(list, "Pragma: no-cache");
        headers.reset(list);
        curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    }
    if (perform(c, options) != CURLE_OK || transfer.tooLarge) return std::nullopt;
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &transfer.response.status);
    transfer.response.headers = lastResponseHeaders(c);
    return std::move(transfer.response);
}

std::optional<std::string> gunzip(const std::string& bytes, size_t limit) {
    z_stream stream{};
    if (inflateInit2(&stream, 15 + 32) != Z_OK) return std::nullopt;  // +32: gzip or zlib header
    std::string out;
    char buffer[65536];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        rc = inflate(&stream, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) {
            inflateEnd(&stream);
            return std::nullopt;
        }
        const size_t produced = sizeof buffer - stream.avail_out;
        if (out.size() + produced > limit) {
            inflateEnd(&stream);
            return std::nullopt;
        }
        out.append(buffer, produced);
        if (rc == Z_OK && produced == 0 && stream.avail_in == 0) {  // truncated stream
            inflateEnd(&stream);
            return std::nullopt;
        }
    }
    inflateEnd(&stream);
    return out;
}

void getJSON(const std::string& url, Options options, std::function<void(Result<nlohmann::json>)> completion) {
    BackgroundQueue::async([url, options, completion = std::move(completion)]() mutable {
        Result<nlohmann::json> result;
        result.response = fetch(url, options);
        if (succeeded(result.response)) result.value = json::parse(result.response->body);
        deliver(std::move(completion), std::move(result));
    });
}

void getPropertyList(const std::string& url, Options options, std::function<void(Result<PlistValue>)> completion) {
    BackgroundQueue::async([url, options, completion = std::move(completion)]() mutable {
        Result<PlistValue> result;
        result.response = fetch(url, options);
        if (succeeded(result.response)) {
            if (isGzip(result.response->body)) {
                if (auto plain = gunzip(result.response->body)) result.value = plist::parse(*plain);
            } else {
                result.value = plist::parse(result.response->body);
            }
        }
        deliver(std::move(completion), std::move(result));
    });
}

void getData(const std::string& url, Options options, std::function<void(Result<std::string>)> completion) {
    BackgroundQueue::async([url, options, completion = std::move(completion)]() mutable {
        Result<std::string> result;
        result.response = fetch(url, options);
        if (succeeded(result.response)) result.value = result.response->body;
        deliver(std::move(completion), std::move(result));
    });
}

}  // namespace tarnwick::http
