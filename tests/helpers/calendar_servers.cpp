#include "tests/helpers/calendar_servers.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "tests/helpers/cups.h"

static const std::string SCRIPT = std::string("/usr/bin/python3 ") + RKM_SOURCE_DIR +
                                  "/tests/helpers/calendar_servers.py";

static int free_port()
{
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    int port = 0;
    if (bind(s, (sockaddr*)&a, sizeof a) == 0 && getsockname(s, (sockaddr*)&a, &n) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

static bool accepts(int port)
{
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons((uint16_t)port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, (sockaddr*)&a, sizeof a) == 0;
    close(s);
    return ok;
}

// Starts `command` in a process group of its own and waits (20 s at most)
// until the port takes connections.
bool TestServer::launch(const std::string& command, const std::string& folder)
{
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        const int log = open((folder + "/server.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(log, 1);
        dup2(log, 2);
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), (char*)nullptr);
        _exit(127);
    }
    for (int i = 0; i < 200; i++) {
        if (accepts(port_))
            return true;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

bool TestServer::start_radicale(const std::string& folder, const std::string& user,
                                const std::string& password)
{
    port_ = free_port();
    std::ofstream(folder + "/users") << user << ":" << password << "\n";
    std::ofstream(folder + "/config")
        << "[server]\nhosts = 127.0.0.1:" << port_ << "\n[auth]\ntype = htpasswd\n"
        << "htpasswd_filename = " << folder << "/users\nhtpasswd_encryption = plain\n"
        << "[storage]\nfilesystem_folder = " << folder << "/storage\n"
        << "[rights]\ntype = owner_only\n";
    return launch("radicale --config " + folder + "/config", folder);
}

bool TestServer::start_http(const std::string& folder, bool tls)
{
    port_ = free_port();
    tls_ = tls;
    std::string certificate;
    if (tls) {
        int status = -1;
        run_command("openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=127.0.0.1 -keyout " +
                        folder + "/key.pem -out " + folder + "/cert.pem",
                    &status);
        if (status != 0)
            return false;
        certificate = " " + folder + "/cert.pem " + folder + "/key.pem";
    }
    return launch(SCRIPT + " serve " + std::to_string(port_) + " " + folder + certificate, folder);
}

void TestServer::stop()
{
    if (pid_ <= 0)
        return;
    kill(-pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string TestServer::url(const std::string& path) const
{
    return std::string(tls_ ? "https" : "http") + "://127.0.0.1:" + std::to_string(port_) + path;
}

std::string calendar_client(const std::string& arguments, int* status)
{
    return run_command(SCRIPT + " " + arguments, status);
}
