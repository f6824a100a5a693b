// The reference's search: ranks the entries of the prebuilt index against
// a query. Used by search.html and, through Node, by check_search.py.
//
// An entry matches, best first: its name exactly; one of its synonym
// phrases exactly; a name starting with the query; a name holding it; a
// synonym holding it; every word of the query starting a word of its name,
// synonyms or description. Ties go by kind (reference entries before the
// guide's sections) and then by name.
var TALLOW_KIND_ORDER = { guide: 1 };

function tallowRank(entry, query, words) {
  var name = entry.name.toLowerCase(), also = (entry.also || "").toLowerCase();
  if (name === query) return 0;
  if (also && ("|" + also + "|").indexOf("|" + query + "|") >= 0) return 1;
  if (name.indexOf(query) === 0) return 2;
  if (name.indexOf(query) >= 0) return 3;
  if (also.indexOf(query) >= 0) return 4;
  var text = " " + (name + " " + also + " " + entry.text.toLowerCase()).replace(/[^a-z0-9$#@]+/g, " ");
  for (var i = 0; i < words.length; i++) {
    if (text.indexOf(" " + words[i]) < 0) return -1;
  }
  return 5;
}

function tallowSearch(index, query) {
  var q = query.toLowerCase().replace(/\s+/g, " ").trim();
  if (!q) return [];
  var words = q.replace(/[^a-z0-9$#@]+/g, " ").trim().split(" ");
  var hits = [];
  index.forEach(function (entry) {
    var rank = tallowRank(entry, q, words);
    if (rank >= 0) hits.push({ entry: entry, rank: rank, kind: TALLOW_KIND_ORDER[entry.kind] || 0 });
  });
  hits.sort(function (a, b) {
    var x = a.entry.name.toLowerCase(), y = b.entry.name.toLowerCase();
    return a.rank - b.rank || a.kind - b.kind || (x < y ? -1 : x > y ? 1 : 0);
  });
  return hits.map(function (hit) { return hit.entry; });
}

if (typeof module !== "undefined") module.exports = { tallowSearch: tallowSearch };
