#include "core/SystemReason.h"

#include <cerrno>
#include <cstring>

namespace {

const char *russianReason(int code)
{
    switch (code) {
    case ENOSPC:
        return "нет места на диске";
    case EDQUOT:
        return "исчерпана дисковая квота";
    case EROFS:
        return "файловая система доступна только для чтения";
    case EACCES:
    case EPERM:
        return "нет прав доступа";
    case ENOENT:
        return "нет такой папки или файла";
    case ENOTDIR:
        return "часть пути не является папкой";
    case EIO:
        return "ошибка ввода-вывода";
    case ENAMETOOLONG:
        return "слишком длинное имя";
    case EEXIST:
        return "файл с таким именем уже есть";
    default:
        return nullptr;
    }
}

} // namespace

std::string SystemReasonText(int code)
{
    const std::string system = std::strerror(code);
    const char *russian = russianReason(code);
    return russian ? std::string(russian) + " (" + system + ")" : system;
}
