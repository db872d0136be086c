#pragma once

// The drawing canvas `img`: a widget inside the scroll box that shows the
// canvas image, whose visible part Draw repaints.

#include <QImage>
#include <QWidget>

namespace stelmar {

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    explicit CanvasWidget(QWidget* parent = nullptr);

    QImage& Image() { return image_; }

    // A fresh white canvas of the given size.
    void ResetImage(int width, int height);
    // Takes over the size of the image after Draw widened it.
    void FitToImage();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
};

}  // namespace stelmar
