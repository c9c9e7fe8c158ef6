// Finds the identifiers that product code looks up by a literal: a call of one of the data look-ups
// (property store getters, layout look-ups, resource catalogue look-ups and the sound helpers) whose
// first argument is an upper-case text literal, or a named constant holding one. A helper that hands
// one of its parameters straight on to a look-up (`layoutSprite(id)` calling `findLayoutElement(id)`,
// `makeFromLayoutAs<T>(id)` calling `makeFromLayout(id)`, a constructor passing its image id on) is a
// look-up too, at that parameter's place: helpers are found in the sources themselves, so a new one
// needs no entry here. Keys built at run time ("RECT_" + mode) are not literals and are left to the
// data's own checks. A line that holds the words "not a data id" is skipped.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace dataset {

// Where an identifier must be defined.
enum class Store {
    Property,  // a property file entry of the given type
    Layout,    // a layout document entry of the given kind
    Catalogue, // a resource entry of the given kind
};

struct Lookup {
    Store store;
    std::string kind; // the type or entry kind, e.g. "String", "Integer", "Surface", "template"
    std::string function, id, file;
    int line = 0;
};

// The look-up functions by name, with where their identifier lives.
struct LookupFunction {
    Store store;
    const char* kind;
};
const std::map<std::string, LookupFunction>& lookupFunctions();

// What one argument of a look-up, or of a helper that passes it on to one, is looked up as.
struct ArgumentLookup {
    int argument; // 0 for the first argument
    Store store;
    std::string kind;
    bool operator<(const ArgumentLookup& other) const;
    bool operator==(const ArgumentLookup& other) const;
};
// Functions by name with the arguments they look up.
using LookupHelpers = std::map<std::string, std::vector<ArgumentLookup>>;

// The helpers defined in the sources: functions (free, member, template or constructor) with a
// parameter that their body passes unchanged as a looked-up argument of a look-up or of another
// helper, followed to the end of such chains. A name whose definitions look one argument up as
// different things (an overload of another meaning, a picture tried as a mask first) is left out.
LookupHelpers findLookupHelpers(const std::vector<std::string>& sources);

// Source text with comments blanked (line breaks kept), so commented-out code does not count.
std::string withoutComments(const std::string& source);

// Named constants holding an identifier: `name = "ID";`.
std::map<std::string, std::string> identifierConstants(const std::string& source);

// Whether a constant of that name may resolve a look-up in another file: only names written like
// constants ("kRootId", "ROOT_ID") do; a local `id` would otherwise resolve every parameter `id`.
bool sharedConstantName(const std::string& name);

// The look-ups of one source file; `constants` resolves named arguments.
// `helpers` adds the look-ups through helpers to those of the look-up functions.
std::vector<Lookup> findLookups(const std::string& source, const std::string& fileName,
                                const std::map<std::string, std::string>& constants,
                                const LookupHelpers& helpers = {});

// The look-ups of every product source below the folders the game is built from.
std::vector<Lookup> scanProductSources();

} // namespace dataset
