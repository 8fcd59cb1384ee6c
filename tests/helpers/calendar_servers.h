// Servers the calendar tests start for themselves: Radicale (a real CalDAV
// server, with a user and a password) and calendar_servers.py (calendars
// with validators, and the ways a server fails), each on a free local port
// with a folder of its own, stopped when the object goes.
#pragma once

#include <sys/types.h>

#include <string>

class TestServer {
public:
    TestServer() = default;
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;
    ~TestServer() { stop(); }

    // Radicale keeping its calendars in `folder`, user `user` with `password`.
    bool start_radicale(const std::string& folder, const std::string& user,
                        const std::string& password);
    // calendar_servers.py serving `folder`/cal.ics and its failures; over TLS
    // with a certificate of its own (which no one trusts) when `tls`.
    bool start_http(const std::string& folder, bool tls = false);
    void stop();
    int port() const { return port_; }
    std::string url(const std::string& path) const;  // http(s)://127.0.0.1:PORT/path

private:
    bool launch(const std::string& command, const std::string& folder);
    pid_t pid_ = -1;
    int port_ = 0;
    bool tls_ = false;
};

// Runs calendar_servers.py as a client: "mkcalendar URL USER PASSWORD",
// "put URL USER PASSWORD FILE" or "get URL"; the answer, or "" on failure.
std::string calendar_client(const std::string& arguments, int* status);
