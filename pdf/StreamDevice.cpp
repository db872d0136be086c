#include "pdf/StreamDevice.h"

namespace stelmar {

StreamDevice::StreamDevice(std::ostream& out) : out_(out) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

qint64 StreamDevice::readData(char*, qint64) { return -1; }

qint64 StreamDevice::writeData(const char* data, qint64 size)
{
    out_.write(data, static_cast<std::streamsize>(size));
    return out_ ? size : -1;
}

}  // namespace stelmar
