var RichEditClient = {
	getHtml: function(selector, hobj) {
		jQuery.ajax({ type: 'POST', url: '/cmd/get/html', data: hobj + '|' + jQuery(selector).html() });
	},
	getText: function(selector, hobj) {
		jQuery.ajax({ type: 'POST', url: '/cmd/get/text', data: hobj + '|' + jQuery(selector).text() });
	}
};
