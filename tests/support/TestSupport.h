#pragma once
// Fixtures shared by the tests.
#include "platform/NotificationCenter.h"
#include "platform/PropertyList.h"

#include <httplib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& relative) const { return path_ / relative; }

    // Writes `bytes` to the relative path, creating the folders on the way; answers the full path.
    std::filesystem::path write(const std::string& relative, const std::string& bytes) const;
    std::filesystem::path writeXmlPlist(const std::string& relative, const PlistValue& value) const;
    std::filesystem::path writeBinaryPlist(const std::string& relative, const PlistValue& value) const;

private:
    std::filesystem::path path_;
};

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
public:
    ScopedEnv(const std::string& name, const std::string& value);
    ~ScopedEnv();

private:
    std::string name_;
    bool had_ = false;
    std::string old_;
};

// Runs the main queue until `done()` or the time-out; answers `done()`.
bool runMainUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10));

// Runs the main queue until every task queued so far (and what they queue) has run.
void drainMainQueue();

// Records the notifications of the given names while it lives.
class NotificationRecorder {
public:
    explicit NotificationRecorder(std::vector<std::string> names);
    ~NotificationRecorder();

    std::vector<Notification> received() const;
    size_t count(const std::string& name) const;
    // Values of one user-info text key, in order of arrival.
    std::vector<std::string> texts(const std::string& name, const std::string& key) const;
    std::vector<int64_t> integers(const std::string& name, const std::string& key) const;

private:
    std::vector<NotificationCenter::Token> tokens_;
    mutable std::mutex mutex_;
    std::vector<Notification> received_;
};

// An HTTP server on 127.0.0.1 at a free port, serving in a thread of its own until destroyed.
class LoopbackServer {
public:
    LoopbackServer();
    ~LoopbackServer();

    httplib::Server& server() { return server_; }
    int port() const { return port_; }
    std::string url(const std::string& path = "") const;  // http://127.0.0.1:PORT + path
    // Starts serving; call after the handlers are set.
    void start();
    // Paths and headers of the requests served so far.
    struct Request {
        std::string path;
        httplib::Headers headers;
    };
    std::vector<Request> requests() const;

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
};

// An address on 127.0.0.1 where nothing listens (a port just taken and given back).
std::string refusedURL(const std::string& path = "");

// Gzip of the bytes.
std::string gzip(const std::string& bytes);

}  // namespace tarnwick::test
