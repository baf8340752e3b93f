#include "platform/http_get.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>

namespace lumbra::platform {
namespace {

using namespace std::chrono_literals;

// Polls wake at least this often, in case the stop event cannot be waited on.
constexpr int kPollMilliseconds = 200;

struct EasyDeleter {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
using Easy = std::unique_ptr<CURL, EasyDeleter>;
using Multi = std::unique_ptr<CURLM, MultiDeleter>;

// The easy handle in the multi handle for as long as it lives, taken out before either goes.
class Attachment {
public:
    Attachment(CURLM* multi, CURL* easy) : multi_(multi), easy_(easy) {
        curl_multi_add_handle(multi_, easy_);
    }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;
    ~Attachment() { curl_multi_remove_handle(multi_, easy_); }

private:
    CURLM* multi_;
    CURL* easy_;
};

struct Receiver {
    std::string body;
    size_t limit = 0;
    bool tooLarge = false;
};

size_t receive(char* data, size_t size, size_t count, void* context) {
    auto& receiver = *static_cast<Receiver*>(context);
    const size_t bytes = size * count;
    if (receiver.body.size() + bytes > receiver.limit) {
        receiver.tooLarge = true;
        return 0;  // ends the transfer
    }
    receiver.body.append(data, bytes);
    return bytes;
}

void initialiseOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool stopped(const HttpGetOptions& options) {
    return options.stop && options.stop->wait(0ms);
}

void configure(CURL* easy, const std::string& url, const HttpGetOptions& options,
               Receiver& receiver) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, long(options.maxRedirects));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);  // worker threads: no alarm signals
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(options.connect.count()));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, long(options.total.count()));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME,
                     long(std::max<int64_t>(1, options.stall.count() / 1000)));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(options.sizeLimit));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, receive);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &receiver);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, options.userAgent.c_str());
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");  // whatever libcurl can decode
    if (!options.caFile.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, options.caFile.c_str());
    // An empty proxy also keeps proxy variables of the environment away: the settings decide.
    const std::string proxy = options.proxyHost.empty() ? ""
                                                        : "http://" + options.proxyHost + ":" +
                                                              std::to_string(options.proxyPort);
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
    if (!proxy.empty() && !options.proxyCredentials.empty()) {
        curl_easy_setopt(easy, CURLOPT_PROXYUSERPWD, options.proxyCredentials.c_str());
    }
}

// Runs the transfer until it ends or the stop event is set; the transfer's result, or nullopt
// when stopped.
std::optional<CURLcode> perform(CURLM* multi, const HttpGetOptions& options) {
    curl_waitfd stopWait{};
    const bool waitable = options.stop && options.stop->isValid();
    if (waitable) stopWait = {options.stop->descriptor(), CURL_WAIT_POLLIN, 0};
    for (int running = 1;;) {
        if (curl_multi_perform(multi, &running) != CURLM_OK) return CURLE_FAILED_INIT;
        if (!running) break;
        curl_multi_poll(multi, waitable ? &stopWait : nullptr, waitable ? 1 : 0, kPollMilliseconds,
                        nullptr);
        if (stopped(options)) return std::nullopt;
    }
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE) return message->data.result;
    }
    return CURLE_FAILED_INIT;
}

}  // namespace

HttpReply httpGet(const std::string& url, const HttpGetOptions& options) {
    initialiseOnce();
    HttpReply reply;
    if (stopped(options)) {
        reply.outcome = HttpOutcome::Stopped;
        return reply;
    }
    const Easy easy(curl_easy_init());
    const Multi multi(curl_multi_init());
    if (!easy || !multi) {
        reply.error = "libcurl could not start";
        return reply;
    }
    Receiver receiver;
    receiver.limit = options.sizeLimit;
    configure(easy.get(), url, options, receiver);
    std::optional<CURLcode> result;
    {
        const Attachment attached(multi.get(), easy.get());
        result = perform(multi.get(), options);
    }
    curl_easy_getinfo(easy.get(), CURLINFO_RESPONSE_CODE, &reply.status);
    if (!result) {
        reply.outcome = HttpOutcome::Stopped;
    } else if (receiver.tooLarge || *result == CURLE_FILESIZE_EXCEEDED) {
        reply.outcome = HttpOutcome::TooLarge;
    } else if (*result != CURLE_OK) {
        reply.error = curl_easy_strerror(*result);
    } else {
        reply.outcome = HttpOutcome::Received;
        reply.body = std::move(receiver.body);
    }
    return reply;
}

std::string urlEncoded(const std::string& text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        const bool unreserved =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (unreserved || c == '-' || c == '.' || c == '_' || c == '~') {
            out += char(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

}  // namespace lumbra::platform
