#include "model/FileErrors.h"

#include <cerrno>

namespace stelmar {

std::string FileErrorText(int error)
{
    switch (error) {
    case kNotRegularFile: return "это не обычный файл (устройство, канал или сокет)";
    case EACCES:
    case EPERM: return "нет прав доступа к файлу или папке";
    case ENOENT: return "файл не найден";
    case ENOTDIR: return "папка не найдена";
    case ENOSPC:
    case EDQUOT: return "недостаточно места на диске";
    case EROFS: return "файловая система доступна только для чтения";
    case EISDIR: return "это папка, а не файл";
    case EFBIG: return "файл слишком велик";
    case EIO: return "ошибка ввода-вывода (возможно, диск поврежден или отключен)";
    case ENAMETOOLONG: return "слишком длинное имя файла";
    case ELOOP: return "слишком много символических ссылок подряд";
    case ENXIO: return "устройство или канал не готовы (у канала нет читающей программы)";
    case ENOMEM: return "недостаточно памяти";
    case EPIPE: return "читающая программа закрыла канал";
    default: return "системная ошибка (код " + std::to_string(error) + ")";
    }
}

}  // namespace stelmar
