#pragma once
// The route line under a strip's header: where the strip plays; a click opens the route menu.
//
// Threads: main thread only.

#include <functional>

#include "ui/console/StripTextWidget.h"
#include "ui/style/MenuModel.h"

namespace quellor {

class StripRouteLineWidget : public StripTextWidget {
    Q_OBJECT
public:
    explicit StripRouteLineWidget(QWidget* parent);
    std::function<MenuModel()> menu;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace quellor
