-- The guides link to each other by their Markdown names; in the package they are HTML files.
function Link(link)
  link.target = link.target:gsub("^(user%-guide%.%a+)%.md$", "%1.html")
  return link
end
