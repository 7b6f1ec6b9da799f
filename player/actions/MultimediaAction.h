#pragma once
// Actions that command texts run, and the registry of their makers by
// command name. A runner parses a text, asks CreateAction for an action of
// the command's name, executes it once and deletes it at once.
#include "store/Factory.h"
#include "store/library/StringMaps.h"

#include <iosfwd>
#include <new>
#include <string>

class MultimediaAction {
 public:
  // Keeps a pointer to the runner's parameters, valid only while the
  // runner's call lasts. Actions read their keys from their own copy.
  explicit MultimediaAction(ActionParameters& parameters) : parameters(&parameters) {}
  virtual ~MultimediaAction() = default;
  MultimediaAction(const MultimediaAction&) = delete;
  MultimediaAction& operator=(const MultimediaAction&) = delete;

  virtual void Execute() = 0;
  // Every parameter as key=value, in key order, then a line end; for
  // diagnostics only.
  virtual void Describe(std::ostream& out);

 protected:
  ActionParameters* parameters;
};

// Makes the actions of one command name.
class MultimediaActionFactory : public Factory<MultimediaActionFactory> {
 public:
  explicit MultimediaActionFactory(const std::string& name) : Factory<MultimediaActionFactory>(name) {}

  virtual MultimediaAction* Make(ActionParameters& parameters) = 0;

  // A new action for the command name; null when no maker has that name
  // (compared exactly, case counts) or the store's errors stopped the
  // making. Nothing is reported.
  static MultimediaAction* CreateAction(const std::string& name, ActionParameters& parameters);
};

template <class T>
class MultimediaActionMaker : public MultimediaActionFactory {
 public:
  explicit MultimediaActionMaker(const std::string& name) : MultimediaActionFactory(name) {}
  // Null when there is no memory for it.
  MultimediaAction* Make(ActionParameters& parameters) override { return new (std::nothrow) T(parameters); }
};

// What every action's Describe writes first, to the standard output.
void DescribeLaunch();
