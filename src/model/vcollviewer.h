// VCollectionViewer: a view's handle on the collection: its current folder and the
// context items paint in.
#pragma once

#include "model/vpaint.h"

class VCollection;
class VNode;
struct VWhen;

class VCollectionViewer {
  public:
    explicit VCollectionViewer(VCollection* collection);

    // Clears the selection of every node, walking from the root.
    void DeselectAll();

    VCollection* collection;
    VNode* folder;
    Canvas* paintDC = nullptr; // set by the view before painting
    float scale = 1.0f;        // device units per screen pixel (more when printing)
    FontSpec regularFont;      // the view's fonts of this paint
    FontSpec boldFont;
    Colour rowFill; // the background of the row being painted
    // The occurrence a row stands for (the agenda's rows), shown as its due text instead
    // of the item's own due occurrence; none in the list.
    const VWhen* occurrence = nullptr;
};
