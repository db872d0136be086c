#pragma once

// A dialog whose function is not available yet: it shows its caption, a
// notice and a button that closes it.

#include <QDialog>
#include <QString>

namespace stelmar {

inline constexpr const char* kNotYetAvailable = "Эта функция будет доступна в следующей версии.";

class PlaceholderDialog : public QDialog {
    Q_OBJECT
public:
    PlaceholderDialog(const char* objectName, const QString& caption, QWidget* parent);
};

}  // namespace stelmar
