// A small HTTP server on 127.0.0.1 for download tests: each path answers with
// a scripted response. Every connection is served on its own thread; a
// "stalling" response sends its first part and then holds the connection open
// until the server stops.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpResponse
{
    int nStatus = 200;
    std::string body;
    bool bSendLength = true;      // with a Content-Length header
    long long nAnnouncedLength = -1;  // a Content-Length other than the body's
    std::vector<size_t> chunks;   // body sent in pieces of these sizes (the rest at once)
    DWORD dwPauseMs = 0;          // pause between pieces
    bool bStall = false;          // hold the connection after what was sent
    std::string extraHeaders;     // further header lines, each ending in CRLF
    std::string raw;              // when set, sent as it is in place of all the above
};

class LoopbackHttpServer
{
public:
    LoopbackHttpServer()
    {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        m_hStop = CreateEventA(NULL, TRUE, FALSE, NULL);
        m_hStalled = CreateEventA(NULL, TRUE, FALSE, NULL);
        m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        int cb = sizeof(addr);
        getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &cb);
        m_nPort = ntohs(addr.sin_port);
        listen(m_listen, 64);
        m_acceptThread = std::thread([this] { AcceptLoop(); });
    }

    ~LoopbackHttpServer() { Stop(); }

    void Stop()
    {
        if (m_listen == INVALID_SOCKET)
            return;
        SetEvent(m_hStop);
        closesocket(m_listen);
        m_listen = INVALID_SOCKET;
        m_acceptThread.join();
        std::vector<std::thread> threads;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            threads.swap(m_threads);
        }
        for (auto& t : threads)
            t.join();
        CloseHandle(m_hStop);
        CloseHandle(m_hStalled);
        WSACleanup();
    }

    void Add(const std::string& strPath, const HttpResponse& response)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_routes[strPath] = response;
    }

    std::string Url(const std::string& strPath) const
    {
        return "http://127.0.0.1:" + std::to_string(m_nPort) + strPath;
    }

    // Set once a stalling response has sent what it sends.
    HANDLE StalledEvent() const { return m_hStalled; }
    int Requests() const { return m_nRequests; }

    // An address on which nothing listens: connecting is refused.
    static std::string RefusedUrl()
    {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        int cb = sizeof(addr);
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &cb);
        closesocket(s);
        return "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/refused";
    }

private:
    void AcceptLoop()
    {
        for (;;) {
            SOCKET s = accept(m_listen, NULL, NULL);
            if (s == INVALID_SOCKET)
                return;
            std::lock_guard<std::mutex> lock(m_mutex);
            m_threads.emplace_back([this, s] { Serve(s); });
        }
    }

    void Serve(SOCKET s)
    {
        DWORD dwTimeout = 5000;
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&dwTimeout), sizeof(dwTimeout));
        std::string request;
        char buf[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 16384) {
            int n = recv(s, buf, sizeof(buf), 0);
            if (n <= 0)
                break;
            request.append(buf, n);
        }
        m_nRequests++;
        std::string strPath;
        size_t nSpace = request.find(' ');
        if (nSpace != std::string::npos)
            strPath = request.substr(nSpace + 1, request.find(' ', nSpace + 1) - nSpace - 1);
        HttpResponse response;
        bool bKnown;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            auto it = m_routes.find(strPath);
            bKnown = it != m_routes.end();
            if (bKnown)
                response = it->second;
        }
        if (!bKnown) {
            response.nStatus = 404;
            response.body = "<html>not found</html>";
        }
        if (!response.raw.empty()) {
            SendAll(s, response.raw.data(), response.raw.size());
            shutdown(s, SD_SEND);
            closesocket(s);
            return;
        }
        std::string head = "HTTP/1.1 " + std::to_string(response.nStatus) +
                           (response.nStatus == 200 ? " OK" : " Not Found") + "\r\nContent-Type: image/gif\r\n";
        if (response.bSendLength)
            head += "Content-Length: " +
                    std::to_string(response.nAnnouncedLength >= 0 ? response.nAnnouncedLength
                                                                   : static_cast<long long>(response.body.size())) +
                    "\r\n";
        head += response.extraHeaders;
        head += "Connection: close\r\n\r\n";
        SendAll(s, head.data(), head.size());
        size_t nSent = 0;
        for (size_t nChunk : response.chunks) {
            if (nSent >= response.body.size())
                break;
            size_t n = std::min(nChunk, response.body.size() - nSent);
            SendAll(s, response.body.data() + nSent, n);
            nSent += n;
            if (response.dwPauseMs != 0 && WaitForSingleObject(m_hStop, response.dwPauseMs) == WAIT_OBJECT_0)
                break;
        }
        if (nSent < response.body.size())
            SendAll(s, response.body.data() + nSent, response.body.size() - nSent);
        if (response.bStall) {
            SetEvent(m_hStalled);
            WaitForSingleObject(m_hStop, 60000);
        }
        shutdown(s, SD_SEND);
        closesocket(s);
    }

    static void SendAll(SOCKET s, const char* p, size_t n)
    {
        while (n > 0) {
            int nSent = send(s, p, static_cast<int>(std::min<size_t>(n, 65536)), 0);
            if (nSent <= 0)
                return;
            p += nSent;
            n -= nSent;
        }
    }

    SOCKET m_listen = INVALID_SOCKET;
    int m_nPort = 0;
    HANDLE m_hStop = NULL;
    HANDLE m_hStalled = NULL;
    std::thread m_acceptThread;
    std::mutex m_mutex;
    std::vector<std::thread> m_threads;
    std::map<std::string, HttpResponse> m_routes;
    std::atomic<int> m_nRequests{0};
};
