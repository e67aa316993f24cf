#include "platform/Url.h"

#include <curl/curl.h>

namespace tarnwick::url {

bool isValid(const std::string& text) {
    CURLU* parsed = curl_url();
    if (!parsed) return false;
    bool valid = curl_url_set(parsed, CURLUPART_URL, text.c_str(), 0) == CURLUE_OK;
    if (valid) {
        char* host = nullptr;
        valid = curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK && host && *host;
        curl_free(host);
    }
    curl_url_cleanup(parsed);
    return valid;
}

}  // namespace tarnwick::url
