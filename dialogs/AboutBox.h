#pragma once

// The "О программе" box: program title, version and contacts.

#include <QDialog>

#include "model/ProgramVersion.h"

namespace stelmar {

inline constexpr const char* kProductVersion = "Версия продукта: " STELMAR_PROGRAM_VERSION;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent);
};

}  // namespace stelmar
