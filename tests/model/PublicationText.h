// A publication's live records as one line of text, so that tests compare
// whole publications and name what differs.
#pragma once

#include <string>

#include "model/Publication.h"

inline std::string describe(const Publication& p) {
    std::string text = std::string("uid=") + p.uniqueIdentifier;
    for (int32_t i = 0; i < p.metadataCount; ++i)
        if (isLive(p.metadata[i].state))
            text += std::string(" M:") + p.metadata[i].name + "=" + p.metadata[i].value;
    for (int32_t i = 0; i < p.manifestCount; ++i) {
        const ManifestItem& m = p.manifest[i];
        if (isLive(m.state)) text += std::string(" I:") + m.id + "," + m.href + "," + m.mediaType;
    }
    for (int32_t i = 0; i < p.spineCount; ++i) {
        const SpineItem& s = p.spine[i];
        std::string item = s.manifestItem ? std::to_string(s.manifestItem - p.manifest) : "-";
        if (isLive(s.state)) text += std::string(" S:") + s.idref + ">" + item;
    }
    for (int32_t i = 0; i < p.tourCount; ++i) {
        if (!isLive(p.tours[i].state)) continue;
        text += std::string(" T:") + p.tours[i].id + "," + p.tours[i].title;
        for (int32_t k = 0; k < p.tours[i].siteCount; ++k)
            text += std::string(" s:") + p.tours[i].sites[k].title + "," + p.tours[i].sites[k].href;
    }
    for (int32_t i = 0; i < p.guideCount; ++i) {
        const GuideReference& g = p.guide[i];
        if (isLive(g.state)) text += std::string(" G:") + g.type + "," + g.title + "," + g.href;
    }
    return text;
}
