#include "store/files.h"

namespace store {

FileStatus writeFileAtomically(const QString& path, const QByteArray& bytes) {
    AtomicFile file(path);
    const FileStatus status = file.open();
    if (status != FileStatus::Ok)
        return status;
    return file.write(bytes) && file.commit() ? FileStatus::Ok : FileStatus::Failed;
}

} // namespace store
