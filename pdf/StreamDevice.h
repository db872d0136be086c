#pragma once

// A write-only QIODevice over a std::ostream, so that QPdfWriter hands each
// finished page on to the file as it goes instead of the whole document
// being gathered in memory first.

#include <QIODevice>
#include <ostream>

namespace stelmar {

class StreamDevice : public QIODevice {
public:
    // Opened for writing; `out` must outlive the device.
    explicit StreamDevice(std::ostream& out);

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 size) override;

private:
    std::ostream& out_;
};

}  // namespace stelmar
