#pragma once

#include "ui/FixedPaths.h"

#include <QTemporaryDir>

namespace testsupport {

// A fresh folder standing for the program's fixed places, removed after the test.
class TempRoot
{
public:
    TempRoot() : paths(dir.path()) {}
    QTemporaryDir dir;
    ui::FixedPaths paths;
};

} // namespace testsupport
