#include "document/export_prompts.h"

namespace {
// Set at start-up (or by a test) on the user-interface thread, before any command runs.
std::unique_ptr<ExportPrompts> g_prompts;
}  // namespace

void SetExportPrompts(std::unique_ptr<ExportPrompts> prompts) { g_prompts = std::move(prompts); }

ExportPrompts* GetExportPrompts() { return g_prompts.get(); }
