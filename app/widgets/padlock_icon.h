#pragma once
// The Lock Frames icon: few icon themes have a padlock under a common name, and no style
// offers one, so it is drawn.

#include <QIcon>

namespace zefra::app {

QIcon padlockIcon();

}  // namespace zefra::app
