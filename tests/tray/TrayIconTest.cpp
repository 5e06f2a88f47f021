#include "tray/TrayIcon.h"

#include <gtest/gtest.h>
