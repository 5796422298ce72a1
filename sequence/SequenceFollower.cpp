#include "SequenceFollower.h"

int SequenceFollower::Load(Sequence& sequence, const std::string& newPath, LoadReport* report) {
    const int result = LoadSequenceFile(sequence, newPath, report);
    if (result != loadNotOpened) {
        path = newPath;
        following = true;
    }
    return result;
}

FollowUpdate SequenceFollower::Update(Sequence&) { return {}; }

void SequenceFollower::Stop() { following = false; }

bool SequenceFollower::Following() const { return following; }

const std::string& SequenceFollower::Path() const { return path; }
