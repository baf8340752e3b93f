// HTTPS GETs through libcurl against a server whose certificate the test makes, and the limits
// the exchange keeps with a plain loopback server.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <thread>

#include "platform/http_get.h"
#include "platform/unique_fd.h"
#include "support/temp_dir.h"
#include "support/web_test_server.h"

namespace lumbra {
namespace {

using namespace std::chrono_literals;
using platform::HttpOutcome;

int freePort() {
    const platform::UniqueFd probe(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{
        .sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
    socklen_t length = sizeof address;
    ::bind(probe.get(), reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(probe.get(), reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

bool accepts(int port) {
    const platform::UniqueFd probe(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{.sin_family = AF_INET,
                        .sin_port = htons(uint16_t(port)),
                        .sin_addr = {htonl(INADDR_LOOPBACK)},
                        .sin_zero = {}};
    return ::connect(probe.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

// openssl's own test server, serving the files of `folder` over TLS until destroyed.
class TlsFileServer {
public:
    TlsFileServer(const std::string& folder, int port) {
        const std::string command = "cd '" + folder + "' && exec openssl s_server -quiet -accept " +
                                    std::to_string(port) +
                                    " -cert cert.pem -key key.pem -WWW >/dev/null 2>&1";
        pid_ = fork();
        if (pid_ == 0) {
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    TlsFileServer(const TlsFileServer&) = delete;
    TlsFileServer& operator=(const TlsFileServer&) = delete;
    ~TlsFileServer() {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

private:
    pid_t pid_ = -1;
};

TEST(HttpGet, TrustsAServerByTheCertificateItIsGivenAndNoneOther) {
    test::TempDir dir;
    const std::string make = "cd '" + dir.path() +
                             "' && openssl req -x509 -newkey ec -pkeyopt "
                             "ec_paramgen_curve:prime256v1 -nodes -keyout key.pem -out cert.pem "
                             "-days 2 -subj /CN=localhost -addext "
                             "subjectAltName=IP:127.0.0.1,DNS:localhost >/dev/null 2>&1";
    ASSERT_EQ(std::system(make.c_str()), 0);
    dir.write("release.json", R"({"releases":[]})");
    const int port = freePort();
    const TlsFileServer server(dir.path(), port);
    for (int i = 0; i < 500 && !accepts(port); ++i) std::this_thread::sleep_for(10ms);

    platform::HttpGetOptions options;
    options.caFile = dir.file("cert.pem");
    const std::string url = "https://127.0.0.1:" + std::to_string(port) + "/release.json";
    const platform::HttpReply trusted = platform::httpGet(url, options);
    EXPECT_EQ(trusted.outcome, HttpOutcome::Received) << trusted.error;
    EXPECT_EQ(trusted.status, 200);
    EXPECT_EQ(trusted.body, R"({"releases":[]})");

    options.caFile.clear();
    const platform::HttpReply untrusted = platform::httpGet(url, options);
    EXPECT_EQ(untrusted.outcome, HttpOutcome::Failed) << "a certificate nobody vouches for";
    EXPECT_TRUE(untrusted.body.empty());
}

TEST(HttpGet, KeepsItsLimitsOnSizeRedirectsAndTime) {
    test::WebTestServer server;
    const std::string origin = "http://" + server.base();
    server.route("/big", test::webReply(200, std::string(2000, 'x')));
    server.route("/loop", test::webReply(302, "", "Location: " + origin + "/loop\r\n"));
    server.route("/elsewhere", test::webReply(302, "", "Location: file:///etc/passwd\r\n"));
    platform::HttpGetOptions options;
    options.sizeLimit = 1000;
    EXPECT_EQ(platform::httpGet(origin + "/big", options).outcome, HttpOutcome::TooLarge);
    options.sizeLimit = 2000;
    EXPECT_EQ(platform::httpGet(origin + "/big", options).body.size(), 2000u);

    EXPECT_EQ(platform::httpGet(origin + "/loop", options).outcome, HttpOutcome::Failed);
    EXPECT_EQ(server.requests().size(), 2u + 1u + size_t(options.maxRedirects));
    EXPECT_EQ(platform::httpGet(origin + "/elsewhere", options).outcome, HttpOutcome::Failed)
        << "a redirect leaves the web for no one";

    server.neverAnswer();
    options.stall = 1000ms;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(platform::httpGet(origin + "/silent", options).outcome, HttpOutcome::Failed);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "a silent server is left";
}

}  // namespace
}  // namespace lumbra
