#include "platform/posix/PosixSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <tuple>

#include "platform/posix/FdWait.h"

namespace {

// The device name prefixes searched, in search order.
constexpr std::string_view kDeviceKinds[] = {"ttyACM", "ttyUSB", "ttyS"};
// A write waits at most this long for room in the driver's queue.
constexpr int kWriteTimeoutMs = 1000;

// Kind index and number of a searched device name ("ttyUSB3" -> 1, 3); false for others.
bool searchedDevice(std::string_view name, size_t& kind, int& number) {
    for (size_t k = 0; k < std::size(kDeviceKinds); ++k) {
        const std::string_view prefix = kDeviceKinds[k];
        if (name.size() <= prefix.size() || name.size() > prefix.size() + 4 || !name.starts_with(prefix)) {
            continue;
        }
        const std::string_view digits = name.substr(prefix.size());
        if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            continue;
        }
        kind = k;
        number = std::stoi(std::string(digits));
        return true;
    }
    return false;
}

speed_t speedFor(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

// Raw 8N1 without flow control. VMIN 1 with a non-blocking descriptor makes an empty read
// answer EAGAIN, so that a read of 0 bytes always means the device hung up.
bool configure(int fd, int baud) {
    const speed_t speed = speedFor(baud);
    termios tio{};
    if (speed == B0 || tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0 &&
           tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

PosixSerialPort::~PosixSerialPort() {
    close();
}

std::vector<std::string> PosixSerialPort::listDevices() {
    struct Found {
        size_t kind;
        int number;
        std::string path;
    };
    std::vector<Found> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(deviceDir_, error), end; !error && it != end;
         it.increment(error)) {
        size_t kind = 0;
        int number = 0;
        const std::string name = it->path().filename().string();
        if (!searchedDevice(name, kind, number)) continue;
        struct stat info {};
        const std::string path = it->path().string();
        if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) continue;
        found.push_back({kind, number, path});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
        return std::tie(a.kind, a.number) < std::tie(b.kind, b.number);
    });
    std::vector<std::string> paths;
    for (Found& f : found) paths.push_back(std::move(f.path));
    return paths;
}

SerialOpen PosixSerialPort::open(const std::string& device, int baud) {
    if (fd_ >= 0) return SerialOpen::Opened;
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == EBUSY) return SerialOpen::Busy;
        return errno == EACCES || errno == EPERM ? SerialOpen::Denied : SerialOpen::Failed;
    }
    // The advisory lock keeps a second unit (and other well-behaved programs) off a port that
    // this one is probing or using; exclusive mode refuses further opens outright.
    if (!isatty(fd)) {
        ::close(fd);
        return SerialOpen::Failed;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? SerialOpen::Busy : SerialOpen::Failed;
    }
    if (!configure(fd, baud)) {
        ::close(fd);
        return SerialOpen::Failed;
    }
    ioctl(fd, TIOCEXCL);
    fd_ = fd;
    device_ = device;
    return SerialOpen::Opened;
}

int PosixSerialPort::bytesWaiting() {
    if (fd_ < 0) return 0;
    int queued = 0;
    if (ioctl(fd_, FIONREAD, &queued) != 0) {
        close();
        return 0;
    }
    return std::max(queued, 0);
}

int PosixSerialPort::read(uint8_t* buffer, int maxBytes) {
    if (fd_ < 0 || maxBytes <= 0) return 0;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, static_cast<size_t>(maxBytes));
        if (got > 0) return static_cast<int>(got);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
        // End of file (the line hung up) or an I/O error: the device has gone.
        close();
        return 0;
    }
}

int PosixSerialPort::write(const uint8_t* bytes, int count) {
    if (fd_ < 0 || count <= 0) return 0;
    const int64_t deadline = monotonicMs() + kWriteTimeoutMs;
    int written = 0;
    while (written < count) {
        const ssize_t n = ::write(fd_, bytes + written, static_cast<size_t>(count - written));
        if (n > 0) {
            written += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const FdWait wait = waitForFd(fd_, POLLOUT, deadline);
            if (wait == FdWait::Ready) continue;
            if (wait != FdWait::TimedOut) close();
            return written;  // a write time-out is not reported
        }
        close();
        return written;
    }
    return written;
}

bool PosixSerialPort::waitForInput(int timeoutMs) {
    if (fd_ < 0) return false;
    if (bytesWaiting() > 0) return true;
    const FdWait wait = waitForFd(fd_, POLLIN, monotonicMs() + std::max(timeoutMs, 0));
    if (wait == FdWait::HungUp || wait == FdWait::Failed) close();
    return wait == FdWait::Ready && bytesWaiting() > 0;
}

void PosixSerialPort::discardInput() {
    if (fd_ >= 0) tcflush(fd_, TCIFLUSH);
}

void PosixSerialPort::close() {
    if (fd_ < 0) return;
    ::close(fd_);  // also drops the advisory lock
    fd_ = -1;
    device_.clear();
}
