#pragma once
#include "platform/rm/render_quality.h"
#include "settings/resolved_options.h"
#include "settings/settings.h"

// The render quality of a Rendering value: the dialog's preview passes its
// Working settings, the saver its Resolved options.
D3DRMRENDERQUALITY RenderQualityFor(const SettingsRecord& settings);
D3DRMRENDERQUALITY RenderQualityFor(const ResolvedOptionsRecord& options);
