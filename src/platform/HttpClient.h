#pragma once
// GET requests over libcurl. Each transfer runs on the background queue and its completion is
// handed to the main queue. A failure (no connection, time-out, a body over the size limit, a
// status outside 2xx, a body that does not parse as asked) reaches the completion as a result
// without a value. An error page is a failure even when its body parses: a server's JSON error
// object must never be read as an index. The response itself is kept, for its status.
//
// Transfers honour the usual proxy variables (http_proxy, https_proxy, no_proxy, all_proxy),
// verify TLS peers, follow redirects, accept every Content-Encoding curl can undo and undo it, give
// up when connecting takes 30 s or when no byte arrives for 60 s, and refuse bodies over 64 MiB
// (counted as kept, after the Content-Encoding is undone).
#include "platform/PropertyList.h"

#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace tarnwick::http {

constexpr long connectTimeoutSeconds = 30;
constexpr long idleTimeoutSeconds = 60;
constexpr size_t maxBodySize = 64u * 1024 * 1024;

struct Response {
    long status = 0;
    std::map<std::string, std::string> headers;  // the final response's; names in lower case; the last value wins
    std::string body;                            // any Content-Encoding undone
};

template <class T>
struct Result {
    std::optional<T> value;
    std::optional<Response> response;  // absent when no answer arrived at all
};

struct Options {
    // Ask every cache on the way for a fresh answer (Cache-Control and Pragma no-cache). The
    // client itself keeps no cache, so no answer is ever served from one.
    bool noCache = false;
    // Set from any thread, it ends the transfer within a few tens of milliseconds, as a failure.
    std::shared_ptr<const std::atomic<bool>> stop = nullptr;
};

// Ends every transfer in flight and refuses every later one, each as a failure; returns once no
// transfer is running any more (or after `bound`). Programs call it before they return from main,
// so that no thread is inside the transfer library while the process tears its globals down.
void stopTransfers(std::chrono::milliseconds bound = std::chrono::seconds(2));

// The body parsed as JSON.
void getJSON(const std::string& url, Options options, std::function<void(Result<nlohmann::json>)> completion);

// The body parsed as a property list; a gzip file (known by its magic bytes once any
// Content-Encoding is undone, like Apple's .sucatalog.gz) is decompressed first.
void getPropertyList(const std::string& url, Options options, std::function<void(Result<PlistValue>)> completion);

// The body as it is: a gzip file stays compressed.
void getData(const std::string& url, Options options, std::function<void(Result<std::string>)> completion);

// Blocking transfer on the calling thread; absent when no answer arrived. The building block of
// the calls above.
std::optional<Response> fetch(const std::string& url, const Options& options);

// Decompresses a gzip (or zlib) stream; absent when it is damaged or inflates past `limit`.
std::optional<std::string> gunzip(const std::string& bytes, size_t limit = maxBodySize);

}  // namespace tarnwick::http
