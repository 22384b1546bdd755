#pragma once
// UniqueIDFactory: the source of project-wide unique numbers for new variable and observation
// records. The project derives from it; the library asks it for a number each time it creates a
// record.

class UniqueIDFactory {
public:
    UniqueIDFactory() = default;
    UniqueIDFactory(const UniqueIDFactory&) = default;
    UniqueIDFactory& operator=(const UniqueIDFactory&) = default;
    virtual ~UniqueIDFactory() = default;

    // A number that no record of the project has had before; the library passes
    // nc::UniqueIDKind::kRecord as the kind.
    // Never one of the reserved values (nc::kNoUniqueID and above).
    virtual unsigned long GetNewUniqueID(int kind) = 0;
};
