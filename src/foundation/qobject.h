// QObject: root of the foundation's file and settings classes.
#pragma once

#include "foundation/qstring.h"

class QObject {
  public:
    virtual ~QObject() = default;
    virtual const char* ClassName() const { return "QObject"; }
    const char* GetName() const { return name.Text(); }
    void SetName(const char* newName) { name = newName; }

  private:
    qstring name;
};
