#pragma once

// The start picture `TFstart`: a borderless white window on top of the
// others, centred on the screen, shown for 1500 ms or until clicked.

#include <QWidget>

namespace stelmar {

class TFstart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 1500;

    TFstart();

    // Shows the picture, waits until the time is up or the user clicks it,
    // then closes the window.
    void Run();

signals:
    void Done();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace stelmar
