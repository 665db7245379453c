#include "Model/TextureHeaders.h"

namespace mc {

namespace {
ITextureHeaderSource* g_source = nullptr;
}

void SetTextureHeaderSource(ITextureHeaderSource* source) { g_source = source; }
ITextureHeaderSource* GetTextureHeaderSource() { return g_source; }

}  // namespace mc
