// catalogue.js - one language's texts from common/catalogue_text.h (the
// UTF-8 source of both programs' catalogues): { voxel: [...], fir: [...] }.
'use strict';
const fs = require('fs');

function catalogue(file, language) {
  const source = fs.readFileSync(file, 'utf8');
  const start = source.indexOf('{"' + language + '",');
  if (start < 0) throw new Error(language + ' not in ' + file);
  const record = source.slice(start, source.indexOf('\n    {"', start + 1));
  // the record's arrays in order (voxel, fir, data); an element may be
  // several adjacent literals, which C++ joins
  const arrays = [];
  let array = null, element = null;
  for (let i = record.indexOf(',') + 1; i < record.length; i++) {
    const c = record[i];
    if (c === '"') {
      let end = i + 1;
      while (record[end] !== '"') end += record[end] === '\\' ? 2 : 1;
      element = (element || '') + JSON.parse(record.slice(i, end + 1));
      i = end;
    } else if (c === '{') {
      array = [];
    } else if (c === ',' || c === '}') {
      if (array && element !== null) array.push(element);
      element = null;
      if (c === '}' && array) { arrays.push(array); array = null; }
    } else if (c === '/' && record[i + 1] === '/') {
      i = record.indexOf('\n', i);
    }
  }
  return { voxel: arrays[0], fir: arrays[1], data: arrays[2] };
}

module.exports = { catalogue };
