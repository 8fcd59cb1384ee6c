// Fetching a calendar over HTTP(S) with libcurl, within firm limits: only
// http and https (also after a redirect), at most 5 redirects, TLS
// certificates verified, 20 MB at most, and time-outs for the connection
// and the whole transfer.
#include <curl/curl.h>
#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "events/internal.h"

static constexpr size_t MOST_BYTES = 20u << 20;
static constexpr long MOST_REDIRECTS = 5;

void ev_fetch_init(void)
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Seconds allowed to connect and for the whole transfer: 10 and 60, or
// RKM_FETCH_TIMEOUTS="CONNECT,TOTAL" (for tests, which cannot wait a minute).
static void time_outs(long* connect, long* total)
{
    *connect = 10;
    *total = 60;
    const char* v = std::getenv("RKM_FETCH_TIMEOUTS");
    long c = 0, t = 0;
    if (v && std::sscanf(v, "%ld,%ld", &c, &t) == 2 && c > 0 && t > 0) {
        *connect = c;
        *total = t;
    }
}

struct Transfer {
    EvFetchResult* result;
    const std::atomic<bool>* stop;
    bool too_large = false;
};

static size_t on_body(char* data, size_t size, size_t count, void* user)
{
    Transfer* t = static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (t->result->body.size() + bytes > MOST_BYTES) {
        t->too_large = true;
        return 0;  // ends the transfer
    }
    t->result->body.append(data, bytes);
    return bytes;
}

static std::string header_value(const char* line, size_t length, const char* name)
{
    const size_t n = std::strlen(name);
    if (length <= n || strncasecmp(line, name, n) != 0 || line[n] != ':')
        return "";
    std::string v(line + n + 1, length - n - 1);
    const size_t a = v.find_first_not_of(" \t");
    return a == std::string::npos ? "" : v.substr(a, v.find_last_not_of(" \t\r\n") - a + 1);
}

// The validators of the last answer: each redirect's answer starts afresh.
static size_t on_header(char* line, size_t size, size_t count, void* user)
{
    EvFetchResult* r = static_cast<Transfer*>(user)->result;
    const size_t length = size * count;
    if (length >= 5 && std::strncmp(line, "HTTP/", 5) == 0) {
        r->etag.clear();
        r->last_modified.clear();
    }
    if (std::string v = header_value(line, length, "ETag"); !v.empty())
        r->etag = v;
    if (std::string v = header_value(line, length, "Last-Modified"); !v.empty())
        r->last_modified = v;
    return length;
}

static int on_progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<Transfer*>(user)->stop->load() ? 1 : 0;
}

// Why a transfer failed, in plain words.
static EvReason failure(CURLcode code, long status, const Transfer& t, long seconds)
{
    if (t.too_large || code == CURLE_FILESIZE_EXCEEDED)
        return {"larger than 20 MB", "20 MB を超えています"};
    switch (code) {
    case CURLE_OK: break;
    case CURLE_COULDNT_RESOLVE_HOST: return {"host not found", "サーバーが見つかりません"};
    case CURLE_COULDNT_CONNECT: return {"cannot connect", "サーバーに接続できません"};
    case CURLE_OPERATION_TIMEDOUT:
        return {"no answer in time (" + std::to_string(seconds) + " s)",
                std::to_string(seconds) + " 秒以内に応答がありません"};
    case CURLE_PEER_FAILED_VERIFICATION:
        return {"TLS certificate not trusted", "サーバーの証明書を確認できません"};
    case CURLE_SSL_CONNECT_ERROR: return {"TLS connection failed", "TLS で接続できません"};
    case CURLE_TOO_MANY_REDIRECTS:
        return {"too many redirects (more than 5)", "転送が多すぎます（5 回まで）"};
    case CURLE_UNSUPPORTED_PROTOCOL:
        return {"redirected to a URL that is not http or https", "http・https 以外へ転送されました"};
    case CURLE_LOGIN_DENIED: return {"user name or password refused", "ユーザー名かパスワードが違います"};
    case CURLE_ABORTED_BY_CALLBACK: return {"stopped", "中止しました"};
    default:
        return {curl_easy_strerror(code), "取得できません（curl " + std::to_string((int)code) + "）"};
    }
    if (status == 401)
        return {"user name or password refused (HTTP 401)", "ユーザー名かパスワードが違います（HTTP 401）"};
    return {"HTTP error " + std::to_string(status), "HTTP エラー " + std::to_string(status)};
}

static void set_options(CURL* h, const std::string& url, Transfer* t, curl_slist* headers)
{
    long connect = 0, total = 0;
    time_outs(&connect, &total);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, MOST_REDIRECTS);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, connect);
    curl_easy_setopt(h, CURLOPT_TIMEOUT, total);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(h, CURLOPT_NETRC, (long)CURL_NETRC_OPTIONAL);
    curl_easy_setopt(h, CURLOPT_HTTPAUTH, (long)(CURLAUTH_BASIC | CURLAUTH_DIGEST));
    curl_easy_setopt(h, CURLOPT_USERAGENT, "rkm7500 (calendar)");
    curl_easy_setopt(h, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, (curl_off_t)MOST_BYTES);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, on_body);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, t);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, on_header);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, t);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, on_progress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, t);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
}

EvFetchResult ev_fetch(const std::string& url, const EvValidators& known, const std::atomic<bool>& stop)
{
    EvFetchResult result;
    Transfer t{&result, &stop};
    CURL* h = curl_easy_init();
    if (!h) {
        result.reason = {"cannot start a transfer", "取得を始められません"};
        return result;
    }
    curl_slist* headers = nullptr;
    if (!known.etag.empty())
        headers = curl_slist_append(headers, ("If-None-Match: " + known.etag).c_str());
    if (!known.last_modified.empty())
        headers = curl_slist_append(headers, ("If-Modified-Since: " + known.last_modified).c_str());
    set_options(h, url, &t, headers);
    const CURLcode code = curl_easy_perform(h);
    long status = 0, connect = 0, total = 0;
    curl_off_t connected = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_getinfo(h, CURLINFO_CONNECT_TIME_T, &connected);
    curl_easy_cleanup(h);
    curl_slist_free_all(headers);
    time_outs(&connect, &total);
    if (code == CURLE_OK && status == 304 && (!known.etag.empty() || !known.last_modified.empty())) {
        result.ok = result.unchanged = true;
        if (result.etag.empty())
            result.etag = known.etag;
        if (result.last_modified.empty())
            result.last_modified = known.last_modified;
    } else if (code == CURLE_OK && status >= 200 && status < 300 && !t.too_large) {
        result.ok = true;
    } else {
        result.reason = failure(code, status, t, connected > 0 ? total : connect);
    }
    if (!result.ok)
        result.body.clear();
    return result;
}
