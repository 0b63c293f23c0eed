// The look of the program's widgets: the desktop's style, with the changes
// the platform needs (see Style.cpp).
#pragma once

// Called once the application object exists.
void RuntimeInstallStyle();
