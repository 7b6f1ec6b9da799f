#pragma once
// Makers of objects by class name. Each maker is a process-wide object made
// by its class's unit at start-up; its constructor puts it at the head of
// one list, so the last one made is found first.
#include <string>

#include "Exception.h"

template <class F>
class Factory {
public:
  Factory(const Factory&) = delete;
  Factory& operator=(const Factory&) = delete;

  // The first maker whose name equals the class name exactly.
  static F* Find(const std::string& className) {
    for (Factory* f = Head(); f; f = f->fNext) {
      if (f->fName == className) return static_cast<F*>(f);
    }
    std::string text = "Factory " + className + " not found, factory list:\n";
    for (Factory* f = Head(); f; f = f->fNext) text += f->fName + "\n";
    throw FactoryError(text);
  }

  const std::string& GetName() const { return fName; }

protected:
  explicit Factory(const std::string& className) : fName(className), fNext(Head()) {
    Head() = this;
  }
  virtual ~Factory() {
    for (Factory** link = &Head(); *link; link = &(*link)->fNext) {
      if (*link == this) {
        *link = fNext;
        break;
      }
    }
  }

private:
  // Constant-initialised, so makers of any unit may register in any order.
  static Factory*& Head() {
    static Factory* head = nullptr;
    return head;
  }

  std::string fName;
  Factory* fNext;
};
