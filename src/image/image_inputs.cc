#include "image/image_inputs.h"

#include "core/compilation.h"

namespace vk6 {

ImageInputs collectImageInputs(Compilation& c) {
  ImageInputs inputs;
  std::vector<TableDescriptor>& tables = c.tables.tables;
  for (std::size_t t = 0; t < tables.size(); ++t) {
    const TableDescriptor& table = tables[t];
    ImageTable image;
    image.name = table.name;
    // The status table and the public table (last) carry signed entries.
    image.signedEntry = t == 0 || t + 1 == tables.size();
    image.recordSize = static_cast<std::uint16_t>(table.recordSize);
    image.recordsPer512 = static_cast<std::uint16_t>(table.recordsPer512);
    image.interval = table.interval;
    image.offset = table.offset;
    image.size = static_cast<std::uint16_t>(table.blocks);
    image.flags = table.flags;
    for (const FieldDescriptor& field : table.fields) {
      image.fields.push_back({field.name, static_cast<std::uint16_t>(field.byteOffset),
                              static_cast<std::uint16_t>(field.byteSize),
                              field.dataType});
    }
    inputs.tables.push_back(image);
  }
  inputs.definitions = &c.tables.definitions;
  inputs.publicTablePosition = static_cast<std::uint16_t>(c.tables.publicPosition);
  return inputs;
}

std::vector<ListingTable> collectListingTables(const Compilation& c) {
  std::vector<ListingTable> listing;
  for (const TableDescriptor& table : c.tables.tables) {
    ListingTable entry;
    entry.name = table.name;
    entry.interval = static_cast<std::int32_t>(table.interval);
    entry.flags = table.flags;
    for (const FieldDescriptor& field : table.fields)
      entry.fields.push_back({field.name, field.count, field.subDimension,
                              field.firstIndex, field.units});
    listing.push_back(entry);
  }
  return listing;
}

}  // namespace vk6
