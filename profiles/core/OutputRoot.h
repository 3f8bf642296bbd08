// Where a family's converted files go unless the user picks another folder: the output root
// stored in the catalog's "MainSettings" ("DefaultOutputMainPath"; the home folder's "KivoMp4/"
// when none is stored) followed by the family's sub-folder. The converter window and the
// command-line converter start from it.
#pragma once

#include <QString>

#include "profiles/core/DeviceTable.h"

// The family's default output folder, with the root and the sub-folder created when missing
// (one level each). Empty when the sub-folder does not exist afterwards.
QString FamilyOutputFolder(const DeviceInfo& family);
