#include "views/item_creation.h"

#include "model/vcollection.h"
#include "model/vcommitem.h"
#include "model/vcontact.h"
#include "model/vreference.h"
#include "model/vtask.h"
#include "model/vtodo.h"
#include "views/view_document.h"

VNode* NewItemOfFolderType(VCollection& collection, int folderType) {
    switch (folderType) {
    case FOLDER_ACTION:
        return new VTask(&collection);
    case FOLDER_AGREEMENT:
        return new VAgreement(&collection);
    case FOLDER_CALL:
        return new VCall(&collection);
    case FOLDER_CONTACT:
        return new VContact(&collection);
    case FOLDER_FACT:
        return new VFact(&collection);
    case FOLDER_LOCATION:
        return new VURL(&collection);
    case FOLDER_MAIL:
        return new VMail(&collection);
    case FOLDER_PAY:
        return new VPay(&collection);
    default:
        return new VTodo(&collection);
    }
}

bool AddNewItem(ViewDocument& document, VNode* item, VNode* folder) {
    if (!item->Edit()) {
        delete item;
        return false;
    }
    document.Collection()->Add(item, folder);
    document.ItemsChanged();
    return true;
}
