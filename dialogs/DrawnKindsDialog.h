#pragma once

// "Длины по чертежу": which path kinds a new area takes its length from
// the drawing for, on a floor with a scale.

#include <QDialog>
#include <array>
#include <cstdint>
#include <optional>

class QCheckBox;

namespace stelmar {

class TFdrawnKinds : public QDialog {
    Q_OBJECT
public:
    explicit TFdrawnKinds(QWidget* parent);

    // Shows the kinds of `current` (bit k for path kind k) ticked; the
    // kinds the user leaves ticked, or nullopt when the user cancels.
    std::optional<std::uint8_t> AskKinds(std::uint8_t current);

private:
    std::array<QCheckBox*, 6> kinds_{};  // path kinds 1..6
};

}  // namespace stelmar
