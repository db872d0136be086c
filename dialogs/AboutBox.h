#pragma once

// The "О программе" box: program title, version and contacts.

#include <QDialog>

namespace stelmar {

inline constexpr const char* kProductVersion = "Версия продукта: 3.5.3";

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);
};

}  // namespace stelmar
