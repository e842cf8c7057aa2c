#include <algorithm>

#include "uikit/form.h"

namespace uikit {

namespace {
// How many rounds unloadAll makes over forms that unload handlers keep loading.
constexpr int kUnloadRounds = 4;
}  // namespace

FormRegistry& FormRegistry::current() {
  static thread_local FormRegistry registry;
  return registry;
}

FormRegistry::~FormRegistry() {
  // At thread exit no handler runs any more: forms still loaded are destroyed without
  // Form_Unload, as the platform does when the process ends.
  loaded_.clear();
  unloaded_.clear();
}

Form* FormRegistry::lookup(std::type_index type) const {
  for (const auto& e : loaded_) {
    if (e.type == type)
      return e.form.get();
  }
  return nullptr;
}

void FormRegistry::insert(std::type_index type, std::unique_ptr<Form> form) {
  loaded_.push_back(Entry{type, std::move(form)});
}

std::vector<Form*> FormRegistry::loadedForms() const {
  std::vector<Form*> forms;
  forms.reserve(loaded_.size());
  for (const auto& e : loaded_)
    forms.push_back(e.form.get());
  return forms;
}

void FormRegistry::unloadAll() {
  // Unloaded forms must stay alive until the loop is over: a Form_Unload that shows and closes
  // a window would otherwise let collect() free forms still listed in the snapshot.
  ++unloadAllDepth_;
  try {
    for (int round = 0; round < kUnloadRounds && !loaded_.empty(); ++round) {
      for (Form* f : loadedForms())
        f->Unload();
    }
  } catch (...) {
    --unloadAllDepth_;
    throw;
  }
  --unloadAllDepth_;
}

void FormRegistry::remove(Form& form) {
  auto it = std::find_if(loaded_.begin(), loaded_.end(),
                         [&](const Entry& e) { return e.form.get() == &form; });
  if (it == loaded_.end())
    return;  // a form the registry never created
  unloaded_.push_back(std::move(it->form));
  loaded_.erase(it);
}

void FormRegistry::collect() {
  if (!modal_.empty() || unloadAllDepth_ > 0 || holds_ > 0)
    return;
  // Move the list out first: a destructor must not find it half destroyed.
  auto doomed = std::move(unloaded_);
  unloaded_.clear();
  doomed.clear();
}

}  // namespace uikit
