#include "RemoteBorgServer.h"

#include "RunShell.h"

#include <arpa/inet.h>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr const char* kSshd = "/usr/sbin/sshd";

// A port on 127.0.0.1 that nothing listens on now.
int FreePort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    if (s >= 0)
        ::close(s);
    return port;
}

bool Accepts(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(s);
    return ok;
}

std::string FileText(const fs::path& p) {
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    while (!text.empty() && text.back() == '\n')
        text.pop_back();
    return text;
}

std::vector<pid_t> Children(pid_t parent) {
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        // After the name in parentheses: the state, then the parent.
        const std::string stat = FileText(entry.path() / "stat");
        const auto close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 1));
        char state = 0;
        pid_t ppid = 0;
        if (fields >> state >> ppid && ppid == parent)
            found.push_back(std::stoi(name));
    }
    return found;
}

std::vector<pid_t> Descendants(pid_t root) {
    std::vector<pid_t> found = Children(root);
    for (std::size_t i = 0; i < found.size(); ++i)
        for (pid_t child : Children(found[i]))
            found.push_back(child);
    return found;
}

std::string Quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

} // namespace

RemoteBorgServer::RemoteBorgServer() {
    if (const passwd* pw = ::getpwuid(::geteuid()))
        user_ = pw->pw_name;
    skipReason_ = start();
    if (!skipReason_.empty())
        stop();
}

RemoteBorgServer::~RemoteBorgServer() {
    stop();
}

std::string RemoteBorgServer::start() {
    const CommandRun borg = RunShell("command -v borg");
    if (borg.status != 0 || !fs::exists(kSshd) || RunShell("command -v ssh-keygen").status != 0)
        return "borg, sshd (openssh-server) or ssh-keygen (openssh-client) is not installed";
    const std::string borgPath = borg.output.substr(0, borg.output.find('\n'));
    const fs::path dir = work_.path();
    fs::create_directory(dir / "served");
    // sshd started by root needs its privilege separation folder.
    if (::geteuid() == 0 && !fs::exists("/run/sshd"))
        ::mkdir("/run/sshd", 0755);
    for (const char* key : {"host_key", "client_key"}) {
        const CommandRun made =
            RunShell("ssh-keygen -q -t ed25519 -N '' -f " + Quoted((dir / key).string()));
        if (made.status != 0)
            return "ssh-keygen failed: " + made.output;
    }
    port_ = FreePort();
    std::ofstream(dir / "authorized_keys")
        << "command=\"" << borgPath << " serve --append-only --restrict-to-path "
        << (dir / "served").string() << "\",restrict " << FileText(dir / "client_key.pub") << "\n";
    std::ofstream(dir / "known_hosts")
        << "[127.0.0.1]:" << port_ << " " << FileText(dir / "host_key.pub") << "\n";
    std::ofstream(dir / "sshd_config")
        << "ListenAddress 127.0.0.1\nPort " << port_ << "\nHostKey " << (dir / "host_key").string()
        << "\nPidFile " << (dir / "sshd.pid").string() << "\nAuthorizedKeysFile "
        << (dir / "authorized_keys").string()
        << "\nStrictModes no\nUsePAM no\nPasswordAuthentication no\n"
           "KbdInteractiveAuthentication no\nPubkeyAuthentication yes\n"
           "PermitRootLogin prohibit-password\nAllowUsers "
        << user_ << "\n";

    const std::string config = (dir / "sshd_config").string();
    const std::string logPath = (dir / "sshd.log").string();
    const pid_t parent = ::getpid();
    sshd_ = ::fork();
    if (sshd_ < 0)
        return "fork failed";
    if (sshd_ == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(1);
        const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(log, 1);
        ::dup2(log, 2);
        ::execl(kSshd, kSshd, "-D", "-f", config.c_str(), "-e", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Ready when it accepts a connection; gone when it refused its configuration.
    for (int tries = 0; tries < 200; ++tries) {
        int status = 0;
        if (::waitpid(sshd_, &status, WNOHANG) == sshd_) {
            sshd_ = -1;
            return "sshd did not start: " + log();
        }
        if (Accepts(port_))
            return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return "sshd did not listen on port " + std::to_string(port_) + ": " + log();
}

void RemoteBorgServer::stop() {
    if (sshd_ <= 0)
        return;
    cutConnections();
    ::kill(sshd_, SIGTERM);
    int status = 0;
    ::waitpid(sshd_, &status, 0);
    sshd_ = -1;
}

int RemoteBorgServer::cutConnections() {
    if (sshd_ <= 0)
        return 0;
    // The listener's children are the connections; what runs below them
    // (the session, borg serve) goes with them, as on a machine that crashed.
    const auto connections = static_cast<int>(Children(sshd_).size());
    for (pid_t pid : Descendants(sshd_))
        ::kill(pid, SIGKILL);
    return connections;
}

std::string RemoteBorgServer::url(const std::string& name) const {
    return "ssh://" + user_ + "@127.0.0.1:" + std::to_string(port_) + repositoryPath(name).string();
}

fs::path RemoteBorgServer::repositoryPath(const std::string& name) const {
    return work_.path() / "served" / name;
}

std::string RemoteBorgServer::unreachableUrl(const std::string& name) const {
    return "ssh://" + user_ + "@127.0.0.1:" + std::to_string(FreePort()) +
           repositoryPath(name).string();
}

// No -p: the address carries the port, and ssh would let a -p given first
// win over the one borg takes from the address.
std::string RemoteBorgServer::clientEnv() const {
    const fs::path dir = work_.path();
    const std::string rsh = "ssh -F /dev/null -i " + (dir / "client_key").string() +
                            " -o IdentitiesOnly=yes -o BatchMode=yes -o UserKnownHostsFile=" +
                            (dir / "known_hosts").string() + " -o StrictHostKeyChecking=yes";
    return "BORG_RSH=" + Quoted(rsh) + " BORG_BASE_DIR=" + Quoted((dir / "borg-home").string()) +
           " ";
}

std::string RemoteBorgServer::log() const {
    return FileText(work_.path() / "sshd.log");
}
