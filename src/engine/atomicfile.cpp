#include "engine/atomicfile.h"

#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The longest part of the name the new file's name keeps: ".<name>.XXXXXX" stays within the
// 255 bytes a file name may have.
constexpr qsizetype kNameKept = 200;
constexpr int kAttempts = 100; // names tried before the folder counts as full of them

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

AtomicFile::AtomicFile(const QString& path)
    : path_(path) {}

AtomicFile::~AtomicFile() {
    cancel();
}

bool AtomicFile::replaceable(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return true; // nothing there (or nothing the new file could not take the place of)
    return S_ISREG(status.st_mode) || S_ISLNK(status.st_mode);
}

bool AtomicFile::fail(const QString& reason) {
    if (error_.isEmpty())
        error_ = reason;
    cancel();
    return false;
}

bool AtomicFile::open() {
    cancel();
    error_.clear();
    const QByteArray name = QFile::encodeName(path_);
    struct stat status {};
    const bool exists = ::lstat(name.constData(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode) && !S_ISLNK(status.st_mode))
        return fail(QStringLiteral("it is not a regular file"));
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray() : name.left(slash + 1);
    const QByteArray base = name.mid(slash + 1).left(kNameKept);
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    int fd = -1;
    for (int attempt = 0; attempt < kAttempts && fd < 0; ++attempt) {
        QByteArray candidate = folder + '.' + base + '.';
        for (int i = 0; i < 6; ++i)
            candidate += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
        fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            temporary_ = candidate;
        else if (errno != EEXIST)
            return fail(systemReason(errno));
    }
    if (fd < 0)
        return fail(systemReason(EEXIST));
    // The file it replaces keeps its permissions; a link's target lends it none.
    if (exists && S_ISREG(status.st_mode) && ::fchmod(fd, status.st_mode & 07777) != 0) {
        const int error = errno;
        ::close(fd);
        return fail(systemReason(error));
    }
    if (!file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file_.errorString());
    }
    return true;
}

QString AtomicFile::temporaryName() const {
    return QFile::decodeName(temporary_);
}

bool AtomicFile::commit() {
    if (temporary_.isEmpty())
        return fail(error_.isEmpty() ? QStringLiteral("the file was not opened") : error_);
    if (file_.isOpen()) {
        // The last writes may fail only now (a full disk, a file too large): Qt's text for them
        // may be empty, the system's is not.
        errno = 0;
        if (!file_.flush())
            return fail(errno != 0 ? systemReason(errno) : file_.errorString());
        if (::fsync(file_.handle()) != 0)
            return fail(systemReason(errno));
        file_.close();
        if (file_.error() != QFileDevice::NoError)
            return fail(file_.errorString());
    }
    if (::rename(temporary_.constData(), QFile::encodeName(path_).constData()) != 0)
        return fail(systemReason(errno));
    temporary_.clear();
    return true;
}

void AtomicFile::cancel() {
    if (file_.isOpen())
        file_.close();
    if (!temporary_.isEmpty())
        ::unlink(temporary_.constData());
    temporary_.clear();
}

std::optional<QString> AtomicFile::write(const QString& path, const QByteArray& data) {
    AtomicFile file(path);
    if (!file.open())
        return file.error();
    errno = 0;
    if (file.file().write(data) != data.size()) {
        file.fail(errno != 0 ? systemReason(errno) : file.file().errorString());
        return file.error();
    }
    if (!file.commit())
        return file.error();
    return std::nullopt;
}
