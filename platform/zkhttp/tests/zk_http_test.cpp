#include "zk_http.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cgi_entry.h"
#include "glib_mainloop.h"
#include "http_test_client.h"
#include "wait_until.h"

namespace {

using camlet::testing::HttpConnection;
using camlet::testing::HttpReply;
using camlet::testing::httpRequest;
using camlet::testing::keepAliveRequest;
using camlet::testing::openDescriptors;
using camlet::testing::sendRequest;
using camlet::testing::waitUntil;

const std::string kCgiPath = camlet::kCgiPath;

// Bytes the program holds from the heap.
size_t heapInUse() {
    return mallinfo2().uordblks;
}

struct Call {
    std::string path;
    std::string method;
    std::string request;
    std::map<std::string, std::string> query;
    std::thread::id thread;
};

// The registered callback: records each call and writes a preset CGI output.
// While held, a call waits until it is released.
class Script {
  public:
    static void handle(const char* path, const char* method, const char* request, GHashTable* query,
                       GOutputStream* output, gpointer self) {
        static_cast<Script*>(self)->run(path, method, request, query, output);
    }

    void setOutput(const std::string& output) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_output = output;
    }

    std::vector<Call> calls() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

    void hold() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = true;
    }

    // Waits until a call has started; false after five seconds.
    bool waitUntilRunning() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(5), [this] { return m_running; });
    }

    void release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = false;
        m_changed.notify_all();
    }

    // Log of "start", "end" and whatever the test adds, in order.
    void note(const std::string& what) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_order.push_back(what);
    }

    std::vector<std::string> order() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_order;
    }

  private:
    void run(const char* path, const char* method, const char* request, GHashTable* query,
             GOutputStream* output) {
        std::unique_lock<std::mutex> lock(m_mutex);
        Call call{path, method, request, {}, std::this_thread::get_id()};
        GHashTableIter iterator;
        gpointer name = nullptr;
        gpointer value = nullptr;
        g_hash_table_iter_init(&iterator, query);
        while (g_hash_table_iter_next(&iterator, &name, &value)) {
            call.query[static_cast<char*>(name)] = static_cast<char*>(value);
        }
        m_calls.push_back(call);
        m_order.push_back("start");
        m_running = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return !m_held; });
        g_output_stream_write_all(output, m_output.data(), m_output.size(), nullptr, nullptr,
                                  nullptr);
        m_order.push_back("end");
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_output = "Content-Type: application/json\r\nStatus: 200 OK\r\n\r\n{}";
    std::vector<Call> m_calls;
    std::vector<std::string> m_order;
    bool m_held = false;
    bool m_running = false;
};

class ZkHttp : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(mainloop_start("test", "Test", "Vendor")); }

    void SetUp() override {
        m_port = camlet::testing::unusedPort();
        g_setenv("CAMLET_HTTP_PORT", std::to_string(m_port).c_str(), TRUE);
    }

    void TearDown() override {
        zk_http_handler_free(m_handler);
        g_unsetenv("CAMLET_HTTP_PORT");
    }

    void start() {
        m_handler = zk_http_handler_new(Script::handle, &m_script);
        ASSERT_NE(m_handler, nullptr);
    }

    void stop() {
        zk_http_handler_free(m_handler);
        m_handler = nullptr;
    }

    HttpReply post(const std::string& body, const std::string& target = kCgiPath) {
        return sendRequest(m_port, httpRequest("POST", target, body));
    }

    bool acceptsConnections() const { return HttpConnection(m_port).isConnected(); }

    uint16_t m_port = 0;
    Script m_script;
    ZKHttpHandler* m_handler = nullptr;
};

TEST_F(ZkHttp, HandsTheBodyOverByteForByteOnTheMainLoopThread) {
    start();
    // Not valid UTF-8: the text is handed over as received.
    const std::string body = "{\"apiVersion\":\"1.4\",\"note\":\"\xff\xfe\xc3\x28\"}\n";
    HttpReply reply = post(body, kCgiPath + "?mode=test");

    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.headers["content-type"], "application/json");
    EXPECT_EQ(reply.body, "{}");
    const std::vector<Call> calls = m_script.calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].path, kCgiPath);
    EXPECT_EQ(calls[0].method, "POST");
    EXPECT_EQ(calls[0].request, body);
    EXPECT_EQ(calls[0].query, (std::map<std::string, std::string>{{"mode", "test"}}));
    EXPECT_NE(calls[0].thread, std::this_thread::get_id());

    EXPECT_EQ(post("").status, 200);
    ASSERT_EQ(m_script.calls().size(), 2u);
    EXPECT_EQ(m_script.calls()[1].request, "");
    EXPECT_TRUE(m_script.calls()[1].query.empty());
}

TEST_F(ZkHttp, TurnsTheCgiOutputIntoTheAnswer) {
    start();
    m_script.setOutput("Status: 404 Not Found\nContent-Type: text/plain\nX-Note: kept\n\nno such");
    HttpReply reply = post("{}");
    EXPECT_EQ(reply.status, 404);
    EXPECT_EQ(reply.headers["content-type"], "text/plain");
    EXPECT_EQ(reply.headers["x-note"], "kept");
    EXPECT_EQ(reply.body, "no such");

    m_script.setOutput("Content-Type: application/json\r\n\r\n{\"a\":1}\r\n\r\nStatus: 500\r\n");
    reply = post("{}");
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "{\"a\":1}\r\n\r\nStatus: 500\r\n");

    for (const char* broken : {"", "Content-Type: application/json\r\n{}", "Status: OK\r\n\r\n"}) {
        m_script.setOutput(broken);
        reply = post("{}");
        EXPECT_EQ(reply.status, 500) << broken;
        EXPECT_EQ(reply.body, "") << broken;
    }
}

TEST_F(ZkHttp, RefusesOtherPathsAndMethodsWithoutCallingTheCallback) {
    start();
    HttpReply reply = sendRequest(m_port, httpRequest("GET", kCgiPath, ""));
    EXPECT_EQ(reply.status, 405);
    EXPECT_EQ(reply.headers["allow"], "POST");
    EXPECT_EQ(sendRequest(m_port, httpRequest("PUT", kCgiPath, "{}")).status, 405);
    EXPECT_EQ(post("{}", "/").status, 404);
    EXPECT_EQ(post("{}", "/local/dwellwatch").status, 404);
    EXPECT_EQ(post("{}", kCgiPath + "/more").status, 404);
    EXPECT_EQ(post("{}", "/local/dwellwatch/control.cgix").status, 404);
    EXPECT_TRUE(m_script.calls().empty());
}

TEST_F(ZkHttp, RefusesOversizedBodiesAndBodiesWithNulBytes) {
    start();
    const size_t limit = camlet::kMaxRequestBody;

    // Refused on the declared length alone: a client that waits for the go-ahead
    // never sends the body; another one's body is read but not kept.
    const std::string head = "POST " + kCgiPath +
                             " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                             "Content-Length: " +
                             std::to_string(limit + 1) + "\r\n";
    HttpConnection waiting(m_port);
    ASSERT_TRUE(waiting.send(head + "Expect: 100-continue\r\n\r\n"));
    EXPECT_EQ(waiting.receive().status, 413);
    EXPECT_EQ(sendRequest(m_port, head + "\r\n" + std::string(limit + 1, 'x')).status, 413);

    // Without a declared length the count is kept while the chunks arrive.
    std::string chunked = "POST " + kCgiPath +
                          " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                          "Transfer-Encoding: chunked\r\n\r\n";
    const std::string chunk(64 * 1024, 'c');
    for (size_t sent = 0; sent <= limit; sent += chunk.size()) {
        chunked += "10000\r\n" + chunk + "\r\n";
    }
    chunked += "0\r\n\r\n";
    EXPECT_EQ(sendRequest(m_port, chunked).status, 413);

    EXPECT_EQ(post(std::string("{\"a\":\0}", 7)).status, 400);
    EXPECT_TRUE(m_script.calls().empty());

    const std::string largest(limit, 'x');
    EXPECT_EQ(post(largest).status, 200);
    ASSERT_EQ(m_script.calls().size(), 1u);
    EXPECT_EQ(m_script.calls()[0].request, largest);
}

TEST_F(ZkHttp, ReturnsNullWhenThePortCannotBeUsed) {
    start();
    EXPECT_EQ(zk_http_handler_new(Script::handle, &m_script), nullptr);  // taken by the first

    g_setenv("CAMLET_HTTP_PORT", "http", TRUE);
    EXPECT_EQ(zk_http_handler_new(Script::handle, &m_script), nullptr);
}

TEST_F(ZkHttp, FreeClosesTheListenerWhetherIdleOrAfterRequests) {
    start();
    stop();
    EXPECT_FALSE(acceptsConnections());

    start();  // the port is free again
    EXPECT_EQ(post("{}").status, 200);
    EXPECT_EQ(post("{}").status, 200);
    stop();
    EXPECT_FALSE(acceptsConnections());
    EXPECT_EQ(m_script.calls().size(), 2u);
}

TEST_F(ZkHttp, NoCallbackForARequestStillArrivingWhenFreed) {
    start();
    const std::string body = "{\"apiVersion\":\"1.4\"}";
    HttpConnection connection(m_port);
    const std::string request = httpRequest("POST", kCgiPath, body);
    ASSERT_TRUE(connection.send(request.substr(0, request.size() - 5)));
    // The request has reached the server once another one has been answered.
    EXPECT_EQ(post("{}").status, 200);
    stop();

    connection.send(request.substr(request.size() - 5));
    EXPECT_EQ(connection.receive().status, 0);
    EXPECT_EQ(m_script.calls().size(), 1u);
}

TEST_F(ZkHttp, FreeWaitsForTheRunningCallback) {
    start();
    m_script.hold();
    std::thread client([this] { post("{}"); });
    ASSERT_TRUE(m_script.waitUntilRunning());

    std::thread freeing([this] {
        stop();
        m_script.note("freed");
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    m_script.note("released");
    m_script.release();
    freeing.join();
    client.join();
    EXPECT_EQ(m_script.order(), (std::vector<std::string>{"start", "released", "end", "freed"}));
}

TEST_F(ZkHttp, EveryAnswerClosesItsConnectionWhateverTheCgiAsks) {
    start();
    for (const std::string connection :
         {"", "Connection: close\r\n", "connection: keep-alive\r\n"}) {
        m_script.setOutput("Content-Type: application/json\r\n" + connection + "\r\n{}");
        HttpConnection client(m_port);
        ASSERT_TRUE(client.send(keepAliveRequest(kCgiPath, "{}")));
        HttpReply reply = client.receive();
        EXPECT_EQ(reply.status, 200) << connection;
        EXPECT_EQ(reply.headers["connection"], "close") << connection;
        EXPECT_TRUE(client.closedByServer()) << connection;
    }
    EXPECT_EQ(sendRequest(m_port, keepAliveRequest("/", "")).headers["connection"], "close");
}

TEST_F(ZkHttp, ClosedConnectionsLeaveNoDescriptorsOrMemoryBehind) {
    // A callback that keeps no record of its calls.
    m_handler = zk_http_handler_new(
        [](const char*, const char*, const char*, GHashTable*, GOutputStream* output, gpointer) {
            g_output_stream_printf(output, nullptr, nullptr, nullptr, "Status: 200\r\n\r\n");
        },
        nullptr);
    ASSERT_NE(m_handler, nullptr);
    const auto serve = [this](int connections) {
        for (int i = 0; i < connections; ++i) {
            HttpConnection client(m_port);
            ASSERT_TRUE(client.send(keepAliveRequest(kCgiPath, "{}")));
            ASSERT_EQ(client.receive().status, 200) << "request " << i;
        }
    };
    serve(100);
    const size_t descriptors = openDescriptors(getpid());
    const size_t heap = heapInUse();
    serve(1000);
    EXPECT_TRUE(waitUntil([&] { return openDescriptors(getpid()) <= descriptors; }, 5000))
        << openDescriptors(getpid()) << " descriptors open, " << descriptors << " before";
    // Each connection once kept a few hundred bytes for good.
    EXPECT_LT(heapInUse(), heap + 64 * 1024) << heap << " bytes in use before";
}

TEST_F(ZkHttp, ABurstOfClientsWaitsInTheBacklogWhileARequestRuns) {
    start();
    m_script.hold();
    std::thread first([this] { EXPECT_EQ(post("{}").status, 200); });
    ASSERT_TRUE(m_script.waitUntilRunning());

    std::vector<std::unique_ptr<HttpConnection>> burst;
    for (int i = 0; i < 100; ++i) {
        burst.push_back(std::make_unique<HttpConnection>(m_port));
        ASSERT_TRUE(burst.back()->isConnected()) << "connection " << i;
    }
    m_script.release();
    first.join();
    for (auto& client : burst) {
        ASSERT_TRUE(client->send(httpRequest("POST", kCgiPath, "{}")));
        EXPECT_EQ(client->receive().status, 200);
    }
}

}  // namespace
