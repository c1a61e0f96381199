-- Starts vk6lsp for *.vk6 buffers. In init.lua:
--   require("vk6").setup({ model = "VK617Q" })  -- or "VK610Q"
-- Options: model, cmd (default { "vk6lsp" }).
local M = {}

function M.setup(opts)
  opts = opts or {}
  local config = {
    name = "vk6lsp",
    cmd = opts.cmd or { "vk6lsp" },
    root_dir = vim.fn.getcwd(),
    init_options = { model = opts.model or "VK617Q" },
  }
  vim.cmd([[autocmd BufRead,BufNewFile *.vk6 setfiletype vk6]])
  local client_id
  local function attach(args)
    local buf = args and args.buf or vim.api.nvim_get_current_buf()
    if vim.lsp.start then
      vim.lsp.start(config, { bufnr = buf })
      return
    end
    -- Neovim 0.7 has no vim.lsp.start: one client, attached to each buffer.
    client_id = client_id or vim.lsp.start_client(config)
    vim.lsp.buf_attach_client(buf, client_id)
  end
  vim.api.nvim_create_autocmd("FileType", { pattern = "vk6", callback = attach })
end

return M
