#include "music/MusicPanel.h"

#include <gtest/gtest.h>
