#include "platform/posix/PosixSharedBlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

constexpr size_t kMaxNamePart = 64;

bool validNamePart(const std::string& text) {
    if (text.empty() || text.size() > kMaxNamePart) return false;
    for (char c : text) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '.' || c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

// A regular object of this user that nobody else may read or write.
bool ownedPrivately(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

bool sameObject(int a, int b) {
    struct stat sa {};
    struct stat sb {};
    return fstat(a, &sa) == 0 && fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The name still leads to the object behind `fd` (a last holder may have removed it).
bool stillNamed(int fd, const std::string& objectName) {
    const int other = shm_open(objectName.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (other < 0) return false;
    const bool same = sameObject(fd, other);
    ::close(other);
    return same;
}

int lockRetrying(int fd, int operation) {
    int result;
    do {
        result = flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

// Takes the holder's lock. `alone` tells whether no other process held the block.
bool lockAsHolder(int fd, bool& alone) {
    alone = lockRetrying(fd, LOCK_EX | LOCK_NB) == 0;
    if (alone) return true;
    if (errno != EWOULDBLOCK) return false;
    // Another holder is there; it keeps the lock shared except for the moments in which it
    // starts or removes the block.
    return lockRetrying(fd, LOCK_SH) == 0;
}

}  // namespace

std::string posixSharedBlockName(const char* name) {
    if (name == nullptr || !validNamePart(name)) return {};
    std::string objectName = "/" + std::string(name) + "-" + std::to_string(geteuid());
    if (const char* group = std::getenv("FMS_UNIT_GROUP"); group != nullptr && *group != '\0') {
        if (!validNamePart(group)) return {};
        objectName += "-" + std::string(group);
    }
    return objectName;
}

PosixSharedBlock::~PosixSharedBlock() {
    close();
}

bool PosixSharedBlock::create(const char* name, uint32_t size) {
    if (fd_ >= 0 || size == 0) return false;
    const std::string objectName = posixSharedBlockName(name);
    if (objectName.empty()) return false;
    // A last holder may remove the object between our open and our lock; then the name leads
    // elsewhere (or nowhere) and we start again with what it leads to now.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int fd = shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        bool alone = false;
        if (!ownedPrivately(fd) || !lockAsHolder(fd, alone)) {
            ::close(fd);
            return false;
        }
        if (!stillNamed(fd, objectName)) {
            ::close(fd);  // drops the lock with the descriptor
            continue;
        }
        struct stat st {};
        bool ok = fstat(fd, &st) == 0;
        if (ok && alone) {
            // Nobody maps the object while we hold it exclusively: truncating to nothing
            // and growing again gives zeros. Then share the lock with the units to come.
            ok = ftruncate(fd, 0) == 0 && ftruncate(fd, size) == 0 && lockRetrying(fd, LOCK_SH) == 0;
        } else if (ok) {
            ok = st.st_size >= static_cast<off_t>(size);
        }
        if (!ok) {
            ::close(fd);
            return false;
        }
        fd_ = fd;
        objectName_ = objectName;
        size_ = size;
        return true;
    }
    return false;
}

uint8_t* PosixSharedBlock::map() {
    if (fd_ < 0) return nullptr;
    void* view = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (view == MAP_FAILED) return nullptr;
    views_.push_back(view);
    return static_cast<uint8_t*>(view);
}

uint8_t* PosixSharedBlock::open(const char* name) {
    if (fd_ < 0 || posixSharedBlockName(name) != objectName_) return nullptr;
    const int fd = shm_open(objectName_.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) return nullptr;
    void* view = MAP_FAILED;
    if (sameObject(fd, fd_)) view = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    // The mapping stays after its descriptor is closed; the lock belongs to fd_.
    ::close(fd);
    if (view == MAP_FAILED) return nullptr;
    views_.push_back(view);
    return static_cast<uint8_t*>(view);
}

bool PosixSharedBlock::unmap() {
    bool ok = true;
    for (void* view : views_) ok = munmap(view, size_) == 0 && ok;
    views_.clear();
    return ok;
}

void PosixSharedBlock::close() {
    if (fd_ < 0) return;
    unmap();
    // The exclusive lock is granted only when no other holder is left: then the object goes.
    if (flock(fd_, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd_, objectName_)) shm_unlink(objectName_.c_str());
    ::close(fd_);
    fd_ = -1;
    objectName_.clear();
    size_ = 0;
}
