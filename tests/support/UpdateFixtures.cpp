#include "support/UpdateFixtures.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>

namespace tarnwick::test {

using Dict = PlistValue::Dictionary;
using Array = PlistValue::Array;

PlistValue catalogPackage(const std::string& metadataURL) {
    return Dict{{"Digest", "5d0a4c3e9e1f"},
                {"Size", int64_t{2786432}},
                {"MetadataURL", metadataURL},
                {"URL", "https://swcdn.example/content/downloads/XProtect.pkg"}};
}

PlistValue catalogProduct(const std::string& serverMetadataURL, std::optional<PlistValue::Array> packages) {
    Dict product{{"ServerMetadataURL", serverMetadataURL},
                 {"PostDate", PlistValue::Date{7.0e8}},
                 {"Distributions", Dict{{"English", "https://swdist.example/content/downloads/x.dist"}}}};
    if (packages) product.emplace_back("Packages", std::move(*packages));
    return product;
}

PlistValue catalog(PlistValue::Dictionary products) {
    return Dict{{"CatalogVersion", 2},
                {"ApplePostURL", "http://swpost.example/stats"},
                {"IndexDate", PlistValue::Date{7.2e8}},
                {"Products", std::move(products)}};
}

std::string packageInfoDocument(const std::optional<std::string>& version) {
    std::string bundle;
    if (version)
        bundle = "        <bundle CFBundleShortVersionString=\"" + *version +
                 "\" CFBundleVersion=\"1\" id=\"com.apple.XProtectFramework.plugin-API\" "
                 "path=\"./Library/Apple/System/Library/CoreServices/XProtect.bundle\"/>\n";
    return "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n"
           "<pkg-info overwrite-permissions=\"true\" relocatable=\"false\" "
           "identifier=\"com.apple.pkg.XProtectPlistConfigData_10_15\" postinstall-action=\"none\" version=\"" +
           version.value_or("1") +
           "\" format-version=\"2\" install-location=\"/\" auth=\"root\">\n"
           "    <payload numberOfFiles=\"14\" installKBytes=\"2786\"/>\n"
           "    <bundle-version>\n" +
           bundle +
           "    </bundle-version>\n"
           "    <upgrade-bundle/>\n"
           "</pkg-info>\n";
}

CatalogServer::CatalogServer() {
    loopback_.server().Get("/catalog.sucatalog.gz", [this](const httplib::Request&, httplib::Response& r) {
        std::lock_guard guard(mutex_);
        r.set_content(catalogBody_, "application/x-gzip");
    });
    loopback_.server().Get(R"(/pkg/(.+))", [this](const httplib::Request& request, httplib::Response& r) {
        std::lock_guard guard(mutex_);
        auto it = packages_.find(request.matches[1]);
        if (it == packages_.end()) {
            r.status = 404;
            r.set_content("<html><body>Not Found</body></html>", "text/html");
        } else {
            r.set_content(it->second, "text/xml");
        }
    });
    loopback_.start();
}

void CatalogServer::setCatalog(const PlistValue& value) { setCatalogBody(gzip(plist::toXml(value))); }

void CatalogServer::setCatalogBody(const std::string& bytes) {
    std::lock_guard guard(mutex_);
    catalogBody_ = bytes;
}

void CatalogServer::setPackage(const std::string& name, const std::string& document) {
    std::lock_guard guard(mutex_);
    packages_[name] = document;
}

std::vector<std::string> CatalogServer::packageRequests() const {
    std::vector<std::string> paths;
    for (const auto& r : loopback_.requests())
        if (r.path.starts_with("/pkg/")) paths.push_back(r.path);
    return paths;
}

size_t CatalogServer::catalogRequests() const {
    size_t n = 0;
    for (const auto& r : loopback_.requests()) n += r.path == "/catalog.sucatalog.gz";
    return n;
}

PlistValue typicalCatalog(const CatalogServer& server) {
    const std::string cdn = "https://swdist.example/content/downloads/";
    return catalog(Dict{
        {"041-88800", catalogProduct(cdn + "041-88800/Safari15.smd", Array{catalogPackage(cdn + "041-88800/Safari.pkm")})},
        {"001-04536", catalogProduct(cdn + "001-04536/MRTConfigData.smd", std::nullopt)},
        {"061-26589", catalogProduct(cdn + "061-26589/XProtectPlistConfigData.smd",
                                     Array{catalogPackage(server.packageURL("xprotect-a.pkm"))})},
        {"071-10001", catalogProduct(cdn + "071-10001/Gatekeeper.smd", Array{})},
        {"061-99999", catalogProduct(cdn + "061-99999/XProtectPlistConfigData.smd",
                                     Array{catalogPackage(server.packageURL("xprotect-b.pkm"))})},
    });
}

namespace {
const std::string bundleResources = "Library/Apple/System/Library/CoreServices/XProtect.bundle/Contents/Resources";

PlistValue meta(int64_t version) {
    return Dict{{"Version", static_cast<double>(version)}, {"JavaWebComponentVersionMinimum", "1.6.0_45-b06"}};
}
}  // namespace

FixtureMac::FixtureMac(std::optional<int64_t> version) {
    std::filesystem::create_directories(dir_ / bundleResources);
    if (version) dir_.writeXmlPlist(bundleResources + "/XProtect.meta.plist", meta(*version));
    std::filesystem::create_directories(dir_ / "Users/u");
}

std::filesystem::path FixtureMac::metaPlist() const { return dir_ / (bundleResources + "/XProtect.meta.plist"); }

std::filesystem::path FixtureMac::writeSpareMeta(const std::string& name, int64_t version) const {
    return dir_.writeXmlPlist("spare/" + name, meta(version));
}

FakeSoftwareUpdate::FakeSoftwareUpdate(const std::string& listing, const std::optional<std::filesystem::path>& installs,
                                       const std::filesystem::path& installedMeta) {
    dir_.write("listing.txt", listing);
    std::string install = "true";
    if (installs) install = "cp '" + installs->string() + "' '" + installedMeta.string() + "'";
    const auto script = dir_.write("softwareupdate",
                                   "#!/bin/sh\n"
                                   "here=$(dirname \"$0\")\n"
                                   "printf '%s\\t' \"$@\" >> \"$here/calls\"; echo >> \"$here/calls\"\n"
                                   "case \"$1\" in\n"
                                   "  -l) cat \"$here/listing.txt\" ;;\n"
                                   "  -i) " + install + "; echo \"Installed $2\" ;;\n"
                                   "esac\n");
    chmod(script.c_str(), 0755);
}

std::vector<std::vector<std::string>> FakeSoftwareUpdate::calls() const {
    std::ifstream in(dir_ / "calls");
    std::vector<std::vector<std::string>> out;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> args;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '\t')) args.push_back(field);
        out.push_back(args);
    }
    return out;
}

}  // namespace tarnwick::test
