#include "geodesy/UiText.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "geodesy/Encoding.h"

namespace vemo {
namespace {

struct CatalogState {
  std::mutex mutex;
  UiCatalog catalog;
  // Keyed by content. The texts live on the heap so that the pointers handed out stay valid
  // after a rehash and after another catalog is installed (then they move to retired).
  std::unordered_map<std::string, std::unique_ptr<std::string>> cache;
  std::vector<std::unique_ptr<std::string>> retired;
};

CatalogState& State() {
  static CatalogState* state = new CatalogState;  // never destroyed: its pointers outlive exit
  return *state;
}

}  // namespace

const char* UiText(const char* utf8Literal) {
  CatalogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.catalog) return T(utf8Literal);
  auto it = state.cache.find(utf8Literal);
  if (it == state.cache.end()) {
    const std::string translated = state.catalog(utf8Literal);
    it = state.cache
             .emplace(utf8Literal, std::make_unique<std::string>(
                                       Utf8ToGbk(translated.empty() ? std::string(utf8Literal) : translated)))
             .first;
  }
  return it->second->c_str();
}

void InstallUiCatalog(UiCatalog catalog) {
  CatalogState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.catalog = std::move(catalog);
  for (auto& [source, text] : state.cache) state.retired.push_back(std::move(text));
  state.cache.clear();
}

}  // namespace vemo
