#pragma once
// Software-update fixtures: catalogs and package-info documents in Apple's shape, a loopback
// server that serves them, a Mac folder with an XProtect bundle, and a fake software-update
// command.
#include "platform/PropertyList.h"
#include "support/TestSupport.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tarnwick::test {

// A catalog package entry pointing at a package-info document.
PlistValue catalogPackage(const std::string& metadataURL);

// A catalog product entry; with `packages` absent the entry has no "Packages" key at all.
PlistValue catalogProduct(const std::string& serverMetadataURL, std::optional<PlistValue::Array> packages);

// A whole catalog around the product entries, in their order.
PlistValue catalog(PlistValue::Dictionary products);

// An XProtect configuration-data package-info document; without a version it has no `bundle`.
std::string packageInfoDocument(const std::optional<std::string>& version);

// Serves a catalog at /catalog.sucatalog.gz and package-info documents under /pkg/. Bodies may be
// changed while it serves.
class CatalogServer {
public:
    CatalogServer();

    std::string catalogURL() const { return loopback_.url("/catalog.sucatalog.gz"); }
    std::string packageURL(const std::string& name) const { return loopback_.url("/pkg/" + name); }

    // The catalog as Apple serves it: gzip of a property list.
    void setCatalog(const PlistValue& value);
    void setCatalogBody(const std::string& bytes);
    void setPackage(const std::string& name, const std::string& document);

    // Paths of the package-info documents asked for so far.
    std::vector<std::string> packageRequests() const;
    size_t catalogRequests() const;

    LoopbackServer& loopback() { return loopback_; }

private:
    LoopbackServer loopback_;
    mutable std::mutex mutex_;
    std::string catalogBody_;
    std::map<std::string, std::string> packages_;
};

// The catalog of the usual tests: products of other kinds (one without Packages), then two
// XProtect configuration-data products whose package-info documents are "xprotect-a.pkm" and
// "xprotect-b.pkm", in that order.
PlistValue typicalCatalog(const CatalogServer& server);

// A Mac folder whose XProtect bundle (the macOS 10.15 place) has the given version.
class FixtureMac {
public:
    explicit FixtureMac(std::optional<int64_t> version);
    const std::filesystem::path& root() const { return dir_.path(); }
    std::filesystem::path metaPlist() const;
    // A meta property list of that version, written outside the bundle (for a fake installer).
    std::filesystem::path writeSpareMeta(const std::string& name, int64_t version) const;
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
};

// A fake software-update command: "-l" prints the listing, "-i LABEL" copies the file named by
// `installs` (if any) over the installed meta property list. Every call is logged one per line,
// arguments separated by a tab.
class FakeSoftwareUpdate {
public:
    FakeSoftwareUpdate(const std::string& listing, const std::optional<std::filesystem::path>& installs = {},
                       const std::filesystem::path& installedMeta = {});
    std::string path() const { return (dir_ / "softwareupdate").string(); }
    std::vector<std::vector<std::string>> calls() const;
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
};

}  // namespace tarnwick::test
