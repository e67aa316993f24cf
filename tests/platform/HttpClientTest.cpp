#include "platform/HttpClient.h"
#include "platform/MainQueue.h"
#include "platform/PropertyList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using test::LoopbackServer;
using Dict = PlistValue::Dictionary;

// Starts a request and pumps the main queue until its completion has run. Every completion must
// arrive on the main thread.
template <class T, class Get>
http::Result<T> request(Get get, const std::string& url, http::Options options = {}) {
    struct Outcome {
        std::optional<http::Result<T>> result;
        bool onMainThread = false;
    };
    auto outcome = std::make_shared<Outcome>();
    get(url, options, [outcome](http::Result<T> result) {
        outcome->onMainThread = MainQueue::isMainThread();
        outcome->result = std::move(result);
    });
    EXPECT_TRUE(test::runMainUntil([&] { return outcome->result.has_value(); }, 60s)) << url;
    EXPECT_TRUE(outcome->onMainThread) << url;
    return outcome->result.value_or(http::Result<T>{});
}

http::Result<nlohmann::json> getJSON(const std::string& url, http::Options options = {}) {
    return request<nlohmann::json>(http::getJSON, url, options);
}
http::Result<PlistValue> getPropertyList(const std::string& url, http::Options options = {}) {
    return request<PlistValue>(http::getPropertyList, url, options);
}
http::Result<std::string> getData(const std::string& url, http::Options options = {}) {
    return request<std::string>(http::getData, url, options);
}

std::string zlibCompress(const std::string& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
              static_cast<uLong>(bytes.size()), Z_BEST_COMPRESSION);
    out.resize(size);
    return out;
}

TEST(HttpClient, GetJSONParsesTheBodyOfA2xxAnswer) {
    LoopbackServer server;
    server.server().Get("/index.json", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"com.example.plugin": {"Version": 114, "Date": "2019-05-01"}})", "application/json");
    });
    server.server().Get("/missing.json", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content(R"({"error": "not found"})", "application/json");
    });
    server.server().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><body>Service Unavailable</body></html>", "text/html");
    });
    server.server().Get("/empty", [](const httplib::Request&, httplib::Response& res) { res.set_content("", "text/plain"); });
    server.start();

    const auto index = getJSON(server.url("/index.json"));
    ASSERT_TRUE(index.value.has_value());
    EXPECT_EQ((*index.value)["com.example.plugin"]["Version"], 114);
    ASSERT_TRUE(index.response.has_value());
    EXPECT_EQ(index.response->status, 200);
    EXPECT_EQ(index.response->headers.at("content-type"), "application/json");

    const auto missing = getJSON(server.url("/missing.json"));
    EXPECT_FALSE(missing.value.has_value()) << "an error page is a failed request, though it parses";
    ASSERT_TRUE(missing.response.has_value());
    EXPECT_EQ(missing.response->status, 404);

    for (const char* path : {"/page", "/empty"}) {
        SCOPED_TRACE(path);
        const auto result = getJSON(server.url(path));
        EXPECT_FALSE(result.value.has_value());
        ASSERT_TRUE(result.response.has_value()) << "an answer arrived, it just is no JSON";
        EXPECT_EQ(result.response->status, 200);
    }
}

// Whatever the body, an answer outside 2xx gives no value to any kind of request; the response
// is still handed over, for its status.
TEST(HttpClient, AStatusOutside2xxIsAFailedRequest) {
    const std::string catalog = test::gzip(plist::toXml(Dict{{"Products", Dict{}}}));
    LoopbackServer server;
    server.server().Get(R"(/(\d+))", [&](const httplib::Request& req, httplib::Response& res) {
        res.status = std::stoi(req.matches[1]);
        res.set_content(catalog, "application/octet-stream");
    });
    server.server().Get(R"(/json/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
        res.status = std::stoi(req.matches[1]);
        res.set_content(R"({"error": "see status"})", "application/json");
    });
    server.start();
    for (const int status : {200, 203, 299, 400, 404, 500, 503}) {
        SCOPED_TRACE(status);
        const bool ok = status < 300;
        const auto json = getJSON(server.url("/json/" + std::to_string(status)));
        EXPECT_EQ(json.value.has_value(), ok);
        const auto plist = getPropertyList(server.url("/" + std::to_string(status)));
        EXPECT_EQ(plist.value.has_value(), ok);
        const auto data = getData(server.url("/" + std::to_string(status)));
        EXPECT_EQ(data.value.has_value(), ok);
        for (const auto* response : {&json.response, &plist.response, &data.response}) {
            ASSERT_TRUE(response->has_value());
            EXPECT_EQ((*response)->status, status);
        }
    }
}

TEST(HttpClient, RefusedConnectionGivesNeitherValueNorResponse) {
    const std::string url = test::refusedURL("/index.json");
    const auto json = getJSON(url);
    EXPECT_FALSE(json.value.has_value());
    EXPECT_FALSE(json.response.has_value());
    const auto plist = getPropertyList(url);
    EXPECT_FALSE(plist.value.has_value());
    EXPECT_FALSE(plist.response.has_value());
    const auto data = getData(url);
    EXPECT_FALSE(data.value.has_value());
    EXPECT_FALSE(data.response.has_value());
}

TEST(HttpClient, PropertyListsArriveCompressedOrNot) {
    const PlistValue catalog = Dict{{"CatalogVersion", int64_t{2}}, {"Products", Dict{{"041-1234", "XProtectPlistConfigData"}}}};
    const std::string xml = plist::toXml(catalog);
    const std::string binary = plist::toBinary(catalog);
    const std::string damaged = test::gzip(xml).substr(0, 20) + std::string(40, 'x');
    const std::string badBlock = test::gzip(xml).substr(0, 10) + std::string(40, '\xff');  // a block of no known type
    struct Case {
        const char* what;
        std::string body;
        const char* contentEncoding;      // nullptr: no such header
        std::optional<std::string> kept;  // the body once the Content-Encoding is undone; absent: no answer
        bool parses;
    };
    const std::vector<Case> cases = {
        {"plain XML", xml, nullptr, xml, true},
        {"plain binary", binary, nullptr, binary, true},
        {"gzip XML, known by its magic bytes", test::gzip(xml), nullptr, test::gzip(xml), true},
        {"gzip binary, known by its magic bytes", test::gzip(binary), nullptr, test::gzip(binary), true},
        {"gzip XML with Content-Encoding", test::gzip(xml), "gzip", xml, true},
        {"gzip binary with Content-Encoding", test::gzip(binary), "gzip", binary, true},
        {"zlib stream labelled gzip", zlibCompress(xml), "gzip", xml, true},
        {"gzip file sent with Content-Encoding as well", test::gzip(test::gzip(xml)), "gzip", test::gzip(xml), true},
        {"damaged gzip", damaged, nullptr, damaged, false},
        {"gzip with Content-Encoding and a bad block: the transfer fails", badBlock, "gzip", std::nullopt, false},
        {"gzip of something else", test::gzip("not a property list"), nullptr, test::gzip("not a property list"), false},
        {"plain text", "not a property list", nullptr, "not a property list", false},
    };

    LoopbackServer server;
    std::vector<std::string> paths;
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        paths.push_back("/catalog" + std::to_string(i));
        server.server().Get(paths.back(), [&c](const httplib::Request&, httplib::Response& res) {
            if (c.contentEncoding) res.set_header("Content-Encoding", c.contentEncoding);
            res.set_content(c.body, "application/octet-stream");
        });
    }
    server.start();

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].what);
        const auto result = getPropertyList(server.url(paths[i]));
        if (!cases[i].kept) {
            EXPECT_FALSE(result.response.has_value());
            EXPECT_FALSE(result.value.has_value());
            continue;
        }
        ASSERT_TRUE(result.response.has_value());
        EXPECT_EQ(result.response->body, *cases[i].kept);
        if (cases[i].parses) {
            ASSERT_TRUE(result.value.has_value());
            EXPECT_EQ(*result.value, catalog);
        } else {
            EXPECT_FALSE(result.value.has_value());
        }
    }
}

TEST(HttpClient, NoCacheAsksForAFreshAnswer) {
    LoopbackServer server;
    std::mutex mutex;
    std::vector<httplib::Headers> seen;
    server.server().Get("/index.json", [&](const httplib::Request& req, httplib::Response& res) {
        {
            std::lock_guard guard(mutex);
            seen.push_back(req.headers);
        }
        res.set_content("{}", "application/json");
    });
    server.start();

    http::Options fresh;
    fresh.noCache = true;
    EXPECT_TRUE(getJSON(server.url("/index.json"), fresh).value.has_value());
    EXPECT_TRUE(getJSON(server.url("/index.json")).value.has_value());

    std::lock_guard guard(mutex);
    ASSERT_EQ(seen.size(), 2u);
    auto header = [](const httplib::Headers& headers, const std::string& name) -> std::string {
        auto it = headers.find(name);
        return it == headers.end() ? "<none>" : it->second;
    };
    EXPECT_EQ(header(seen[0], "Cache-Control"), "no-cache");
    EXPECT_EQ(header(seen[0], "Pragma"), "no-cache");
    EXPECT_EQ(header(seen[1], "Cache-Control"), "<none>");
    EXPECT_EQ(header(seen[1], "Pragma"), "<none>");
}

TEST(HttpClient, GetDataKeepsRawBytesAndFollowsRedirects) {
    const std::string bytes("\x1f\x8b\0binary\xff\0tail", 14);
    LoopbackServer server;
    server.server().Get("/data", [&](const httplib::Request&, httplib::Response& res) {
        res.set_header("X-Answer", "first");
        res.set_header("X-Answer", "final");
        res.set_content(bytes, "application/octet-stream");
    });
    server.server().Get("/moved", [&](const httplib::Request&, httplib::Response& res) {
        res.set_header("X-Answer", "moved");
        res.set_header("X-Hop", "moved");
        res.set_redirect(server.url("/data"), 302);
    });
    server.server().Get("/moved-twice", [&](const httplib::Request&, httplib::Response& res) {
        res.set_redirect(server.url("/moved"), 301);
    });
    server.start();

    for (const char* path : {"/data", "/moved", "/moved-twice"}) {
        SCOPED_TRACE(path);
        const auto result = getData(server.url(path));
        ASSERT_TRUE(result.value.has_value());
        EXPECT_EQ(*result.value, bytes) << "getData does not decompress";
        EXPECT_EQ(result.response->status, 200);
        const auto& headers = result.response->headers;
        EXPECT_EQ(headers.count("x-answer") ? headers.at("x-answer") : "<none>", "final")
            << "the final response's, the last value";
        EXPECT_EQ(headers.count("x-hop") + headers.count("location"), 0u) << "nothing of a redirect";
        EXPECT_EQ(headers.count("content-type") ? headers.at("content-type") : "<none>", "application/octet-stream");
    }
}

TEST(HttpClient, BodiesOverTheLimitAreRefused) {
    // Sent in chunks without a length, so only the running count can catch it.
    LoopbackServer server;
    server.server().Get("/huge", [](const httplib::Request&, httplib::Response& res) {
        auto sent = std::make_shared<size_t>(0);
        res.set_chunked_content_provider("application/octet-stream", [sent](size_t, httplib::DataSink& sink) {
            static const std::string chunk(1024 * 1024, 'x');
            if (*sent > http::maxBodySize) {
                sink.done();
                return true;
            }
            *sent += chunk.size();
            return sink.write(chunk.data(), chunk.size());
        });
    });
    server.start();

    const auto result = getData(server.url("/huge"));
    EXPECT_FALSE(result.value.has_value());
    EXPECT_FALSE(result.response.has_value());
}

TEST(HttpClient, GunzipRefusesDamagedOrOversizedStreams) {
    const std::string text(100000, 'a');
    const std::string packed = test::gzip(text);
    EXPECT_EQ(http::gunzip(packed), text);
    EXPECT_EQ(http::gunzip(zlibCompress(text)), text);
    EXPECT_EQ(http::gunzip(packed, text.size()), text) << "exactly at the limit";
    EXPECT_EQ(http::gunzip(packed, text.size() - 1), std::nullopt);
    EXPECT_EQ(http::gunzip(packed.substr(0, packed.size() / 2)), std::nullopt) << "truncated";
    EXPECT_EQ(http::gunzip(packed.substr(0, packed.size() - 4)), std::nullopt) << "length trailer missing";
    EXPECT_EQ(http::gunzip("plain text"), std::nullopt);
    EXPECT_EQ(http::gunzip(""), std::nullopt);
}

}  // namespace
}  // namespace tarnwick
