// The folders a tree shows, taken and ordered the plain way: the folder test per
// folder, then passes of exchanges until one changes nothing. Slow; the yardstick for
// FolderList.
#pragma once

#include "model/vcollection.h"

#include <vector>

std::vector<VNode*> ReferenceFolderList(const VCollection& collection, int maxFolders);
