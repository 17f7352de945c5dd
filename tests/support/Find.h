#pragma once

// A control found as a user finds it: by its object name, or as the only one
// of its type. A missing control (or, by type, more than one) fails the
// running test by an exception naming what was looked for, so a caller may
// use the result at once and nothing dereferences a null.
#include <QObject>
#include <QString>

#include <stdexcept>
#include <string>

template <typename T>
T *Find(const QObject &parent, const char *name)
{
    T *child = parent.findChild<T *>(QString::fromLatin1(name));
    if (!child)
        throw std::runtime_error(std::string("no ") + T::staticMetaObject.className() + " named \"" + name
                                 + "\" under \"" + parent.objectName().toStdString() + "\"");
    return child;
}

template <typename T>
T *Find(const QObject &parent)
{
    const QList<T *> children = parent.findChildren<T *>();
    if (children.size() != 1)
        throw std::runtime_error(std::to_string(children.size()) + " children of type "
                                 + T::staticMetaObject.className() + " under \"" + parent.objectName().toStdString()
                                 + "\", one expected");
    return children.front();
}
