#include "music/Playlist.h"

#include <gtest/gtest.h>
