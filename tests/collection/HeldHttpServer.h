// An HTTP server on 127.0.0.1 for download tests in which every request is held
// until the test lets one answer go (Release), so that a test can see how many
// downloads are open at once. The socket functions are bound at run time, so
// that the tests need no further import library.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CHeldHttpServer
{
public:
    explicit CHeldHttpServer(std::string body) : m_body(std::move(body)) {}
    ~CHeldHttpServer() { Stop(); }

    // Listens on a free port of 127.0.0.1; false when that fails.
    bool Start()
    {
        m_hWs2 = LoadLibraryA("ws2_32.dll");
        if (m_hWs2 == NULL || !Bind())
            return false;
        WSADATA wsa;
        if (m_WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
            return false;
        m_listen = m_socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (m_listen == INVALID_SOCKET)
            return false;
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = m_htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        int nLen = sizeof(addr);
        if (m_bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || m_listen_(m_listen, 16) != 0 ||
            m_getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &nLen) != 0)
            return false;
        m_nPort = m_ntohs(addr.sin_port);
        m_acceptor = std::thread([this] { AcceptLoop(); });
        return true;
    }

    void Stop()
    {
        if (m_listen != INVALID_SOCKET) {
            m_stopping = true;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_nReleases += 1000;
            }
            m_cv.notify_all();
            m_closesocket(m_listen);
            m_listen = INVALID_SOCKET;
        }
        if (m_acceptor.joinable())
            m_acceptor.join();
        for (std::thread& t : m_connections)
            t.join();
        m_connections.clear();
        if (m_hWs2 != NULL) {
            if (m_WSACleanup)
                m_WSACleanup();
            FreeLibrary(m_hWs2);
            m_hWs2 = NULL;
        }
    }

    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(m_nPort) + path;
    }

    // Lets one held request be answered.
    void Release()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_nReleases++;
        }
        m_cv.notify_all();
    }

    // Waits (bounded) until n requests are held open; false on time-out.
    bool WaitForOpen(int n, int nMilliseconds)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_cv.wait_for(lock, std::chrono::milliseconds(nMilliseconds), [&] { return m_nOpen == n; });
    }

    int Open() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nOpen;
    }
    int MaxOpen() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nMaxOpen;
    }
    int Answered() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_nAnswered;
    }

private:
    bool Bind()
    {
        return Get(m_WSAStartup, "WSAStartup") && Get(m_WSACleanup, "WSACleanup") && Get(m_socket, "socket") &&
               Get(m_bind, "bind") && Get(m_listen_, "listen") && Get(m_accept, "accept") &&
               Get(m_recv, "recv") && Get(m_send, "send") && Get(m_closesocket, "closesocket") &&
               Get(m_getsockname, "getsockname") && Get(m_htonl, "htonl") && Get(m_ntohs, "ntohs");
    }
    template <class F>
    bool Get(F& pfn, const char* pszName)
    {
        pfn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m_hWs2, pszName)));
        return pfn != NULL;
    }

    void AcceptLoop()
    {
        for (;;) {
            SOCKET s = m_accept(m_listen, NULL, NULL);
            if (s == INVALID_SOCKET || m_stopping) {
                if (s != INVALID_SOCKET)
                    m_closesocket(s);
                return;
            }
            m_connections.emplace_back([this, s] { Serve(s); });
        }
    }

    void Serve(SOCKET s)
    {
        std::string request;
        char buf[1024];
        while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
            const int n = m_recv(s, buf, sizeof(buf), 0);
            if (n <= 0)
                break;
            request.append(buf, n);
        }
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_nOpen++;
            if (m_nOpen > m_nMaxOpen)
                m_nMaxOpen = m_nOpen;
            m_cv.notify_all();
            // Bounded: a test that forgets to release still ends.
            m_cv.wait_for(lock, std::chrono::seconds(20), [&] { return m_nReleases > 0; });
            if (m_nReleases > 0)
                m_nReleases--;
        }
        const std::string answer = "HTTP/1.0 200 OK\r\nContent-Type: image/gif\r\nContent-Length: " +
                                   std::to_string(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body;
        m_send(s, answer.data(), int(answer.size()), 0);
        m_closesocket(s);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nOpen--;
        m_nAnswered++;
        m_cv.notify_all();
    }

    typedef int(WSAAPI* PFN_WSAStartup)(WORD, LPWSADATA);
    typedef int(WSAAPI* PFN_WSACleanup)();
    typedef SOCKET(WSAAPI* PFN_socket)(int, int, int);
    typedef int(WSAAPI* PFN_bind)(SOCKET, const sockaddr*, int);
    typedef int(WSAAPI* PFN_listen)(SOCKET, int);
    typedef SOCKET(WSAAPI* PFN_accept)(SOCKET, sockaddr*, int*);
    typedef int(WSAAPI* PFN_recv)(SOCKET, char*, int, int);
    typedef int(WSAAPI* PFN_send)(SOCKET, const char*, int, int);
    typedef int(WSAAPI* PFN_closesocket)(SOCKET);
    typedef int(WSAAPI* PFN_getsockname)(SOCKET, sockaddr*, int*);
    typedef u_long(WSAAPI* PFN_htonl)(u_long);
    typedef u_short(WSAAPI* PFN_ntohs)(u_short);

    HMODULE m_hWs2 = NULL;
    PFN_WSAStartup m_WSAStartup = NULL;
    PFN_WSACleanup m_WSACleanup = NULL;
    PFN_socket m_socket = NULL;
    PFN_bind m_bind = NULL;
    PFN_listen m_listen_ = NULL;
    PFN_accept m_accept = NULL;
    PFN_recv m_recv = NULL;
    PFN_send m_send = NULL;
    PFN_closesocket m_closesocket = NULL;
    PFN_getsockname m_getsockname = NULL;
    PFN_htonl m_htonl = NULL;
    PFN_ntohs m_ntohs = NULL;

    std::string m_body;
    SOCKET m_listen = INVALID_SOCKET;
    int m_nPort = 0;
    std::atomic<bool> m_stopping{false};
    std::thread m_acceptor;
    std::vector<std::thread> m_connections;   // touched by the accept thread until it is joined
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_nOpen = 0;
    int m_nMaxOpen = 0;
    int m_nAnswered = 0;
    int m_nReleases = 0;
};
